#pragma once
// On-disk records of an MD2 key-frame model file (little-endian).

#include <cstddef>
#include <cstdint>

constexpr std::int32_t MD2_MAGIC = 0x32504449; // "IDP2"
constexpr std::int32_t MD2_VERSION = 8;
constexpr int MD2_NORMAL_COUNT = 162;
constexpr int MD2_FRAME_NAME_SIZE = 16;
constexpr int MD2_FRAME_HEADER_SIZE = 40;
constexpr int MD2_SKIN_NAME_SIZE = 64;

struct MD2Header {
    std::int32_t magic;
    std::int32_t version;
    std::int32_t skinWidth;
    std::int32_t skinHeight;
    std::int32_t frameSize;
    std::int32_t numSkins;
    std::int32_t numVertices;
    std::int32_t numTexCoords;
    std::int32_t numTriangles;
    std::int32_t numGlCommands;
    std::int32_t numFrames;
    std::int32_t offsetSkins;
    std::int32_t offsetTexCoords;
    std::int32_t offsetTriangles;
    std::int32_t offsetFrames;
    std::int32_t offsetGlCommands;
    std::int32_t offsetEnd;
};
static_assert(sizeof(MD2Header) == 68);

struct MD2TexCoord {
    std::uint16_t s;
    std::uint16_t t;
};
static_assert(sizeof(MD2TexCoord) == 4);

struct MD2Triangle {
    std::uint16_t vertexIndex[3];
    std::uint16_t texCoordIndex[3];
};
static_assert(sizeof(MD2Triangle) == 12);

struct MD2PackedVertex {
    std::uint8_t position[3];
    std::uint8_t normalIndex;
};
static_assert(sizeof(MD2PackedVertex) == 4);

// Size of one stored frame: scale, translate, name, then the packed vertices.
constexpr std::size_t MD2FrameBytes(std::size_t vertexCount) {
    return MD2_FRAME_HEADER_SIZE + vertexCount * sizeof(MD2PackedVertex);
}
