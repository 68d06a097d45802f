#pragma once
// Small MD2 files for the model tests.

#include <cstring>
#include <string>
#include <vector>

#include "model/MD2Model.h"
#include "model/MD2Writer.h"

// Four packed vertices, two triangles, one frame per name. Frame f is lifted by f units so that
// frames differ; vertex 0 of frame f lies at z = f - 2.
inline MD2WriterModel MakeTestModel(const std::vector<std::string>& frameNames) {
    MD2WriterModel model;
    model.skinWidth = 64;
    model.skinHeight = 32;
    model.vertexCount = 4;
    model.texCoords = {{0, 0}, {64, 0}, {32, 16}, {16, 32}};
    model.triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};
    for (std::size_t f = 0; f < frameNames.size(); ++f) {
        MD2WriterFrame frame;
        frame.scale = {1.0f, 1.0f, 1.0f};
        frame.translate = {0.0f, 0.0f, static_cast<float>(f) - 2.0f};
        frame.name = frameNames[f];
        frame.vertices = {{{0, 0, 0}, 5}, {{10, 0, 0}, 5}, {{0, 10, 0}, 5}, {{0, 0, 10}, 5}};
        model.frames.push_back(frame);
    }
    return model;
}

// Loads `bytes` through a file at `path`; returns the reader's result.
inline HRESULT ReadModelBytes(MD2Model& model, const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteFileBytes(path, bytes);
    std::strcpy(model.md2Path, path.c_str());
    return model.ReadFile();
}

// Writes a two-frame test model to `md2Path` and returns a record naming it with the bundled skin
// and cartoon ramp, at speed 30.
inline ModelFile WriteTestModelFile(const std::string& md2Path) {
    WriteFileBytes(md2Path, WriteMD2(MakeTestModel({"a01", "a02"})));
    const std::string data = LUMIVOX_SOURCE_DIR "/Data/";
    ModelFile file{};
    file.speed = 30;
    std::strcpy(file.md2Path, md2Path.c_str());
    std::strcpy(file.texturePath, (data + "ex1.jpg").c_str());
    std::strcpy(file.cartoonPath, (data + "catoon.jpg").c_str());
    return file;
}

template <typename T> void Poke(std::vector<std::uint8_t>& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}
