#pragma once
// Builds MD2 files in memory: used by the sample-model generator, the tests and the benchmarks.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/MD2File.h"

struct MD2WriterFrame {
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
    std::array<float, 3> translate{0.0f, 0.0f, 0.0f};
    std::string name; // at most 16 characters are stored; shorter names end with NUL
    std::vector<MD2PackedVertex> vertices;
};

struct MD2WriterModel {
    std::int32_t skinWidth = 256;
    std::int32_t skinHeight = 256;
    std::int32_t vertexCount = 0;   // packed vertices per frame
    std::vector<std::string> skins; // skin names of the header, at most 63 characters each
    std::vector<MD2TexCoord> texCoords;
    std::vector<MD2Triangle> triangles;
    std::vector<MD2WriterFrame> frames;
};

// Serialises the model with a consistent header and blocks in the usual order
// (header, skin names, texture coordinates, triangles, frames).
std::vector<std::uint8_t> WriteMD2(const MD2WriterModel& model);

// Writes the bytes to a file; false when the file cannot be written completely.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Index of the table normal closest in direction to (x, y, z).
std::uint8_t NearestMD2Normal(float x, float y, float z);
