#include "model/MD2Writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/MD2Normals.h"

namespace {

template <typename T> void Append(std::vector<std::uint8_t>& out, const T& value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

template <typename T> void AppendAll(std::vector<std::uint8_t>& out, const std::vector<T>& values) {
    for (const T& v : values)
        Append(out, v);
}

void AppendFrame(std::vector<std::uint8_t>& out, const MD2WriterFrame& frame, std::int32_t vertexCount) {
    for (float f : frame.scale)
        Append(out, f);
    for (float f : frame.translate)
        Append(out, f);
    char name[MD2_FRAME_NAME_SIZE] = {};
    std::memcpy(name, frame.name.data(), std::min<std::size_t>(frame.name.size(), MD2_FRAME_NAME_SIZE));
    out.insert(out.end(), name, name + MD2_FRAME_NAME_SIZE);
    for (std::int32_t i = 0; i < vertexCount; ++i)
        Append(out,
               i < static_cast<std::int32_t>(frame.vertices.size()) ? frame.vertices[i] : MD2PackedVertex{});
}

} // namespace

std::vector<std::uint8_t> WriteMD2(const MD2WriterModel& model) {
    MD2Header header{};
    header.magic = MD2_MAGIC;
    header.version = MD2_VERSION;
    header.skinWidth = model.skinWidth;
    header.skinHeight = model.skinHeight;
    header.frameSize = static_cast<std::int32_t>(MD2FrameBytes(model.vertexCount));
    header.numVertices = model.vertexCount;
    header.numTexCoords = static_cast<std::int32_t>(model.texCoords.size());
    header.numTriangles = static_cast<std::int32_t>(model.triangles.size());
    header.numFrames = static_cast<std::int32_t>(model.frames.size());
    header.numSkins = static_cast<std::int32_t>(model.skins.size());
    header.offsetSkins = sizeof(MD2Header);
    header.offsetTexCoords = header.offsetSkins + header.numSkins * MD2_SKIN_NAME_SIZE;
    header.offsetTriangles = header.offsetTexCoords + header.numTexCoords * 4;
    header.offsetFrames = header.offsetTriangles + header.numTriangles * 12;
    header.offsetGlCommands = header.offsetFrames + header.numFrames * header.frameSize;
    header.offsetEnd = header.offsetGlCommands;

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(header.offsetEnd));
    Append(out, header);
    for (const std::string& skin : model.skins) {
        char name[MD2_SKIN_NAME_SIZE] = {};
        std::memcpy(name, skin.data(), std::min<std::size_t>(skin.size(), MD2_SKIN_NAME_SIZE - 1));
        out.insert(out.end(), name, name + MD2_SKIN_NAME_SIZE);
    }
    AppendAll(out, model.texCoords);
    AppendAll(out, model.triangles);
    for (const MD2WriterFrame& frame : model.frames)
        AppendFrame(out, frame, model.vertexCount);
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::uint8_t NearestMD2Normal(float x, float y, float z) {
    int best = 0;
    float bestDot = -2.0f;
    for (int i = 0; i < MD2_NORMAL_COUNT; ++i) {
        const float dot = MD2Normals[i][0] * x + MD2Normals[i][1] * y + MD2Normals[i][2] * z;
        if (dot > bestDot) {
            bestDot = dot;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}
