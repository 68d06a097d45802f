#pragma once
// Generated models of real size for the benchmarks.

#include <cmath>
#include <cstdio>
#include <string>

#include "model/MD2Writer.h"

// A closed band of quads around an upright cylinder, `triangles` triangles (a multiple of 100),
// waving from frame to frame; frames come in blocks of ten.
inline MD2WriterModel MakeBandModel(int triangles, int frames) {
    MD2WriterModel model;
    const int columns = 50;
    const int rows = triangles / (2 * columns);
    model.vertexCount = columns * (rows + 1);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < columns; ++c)
            model.texCoords.push_back({static_cast<std::uint16_t>(c * 5), static_cast<std::uint16_t>(r * 5)});
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const auto a = static_cast<std::uint16_t>(r * columns + c);
            const auto b = static_cast<std::uint16_t>(r * columns + (c + 1) % columns);
            const auto d = static_cast<std::uint16_t>(a + columns);
            const auto e = static_cast<std::uint16_t>(b + columns);
            model.triangles.push_back({{a, d, b}, {a, d, b}});
            model.triangles.push_back({{b, d, e}, {b, d, e}});
        }
    }
    for (int f = 0; f < frames; ++f) {
        MD2WriterFrame frame;
        frame.scale = {0.25f, 0.25f, 0.25f};
        frame.translate = {-32.0f, -32.0f, -24.0f};
        char name[16];
        std::snprintf(name, sizeof name, "pose%03d%02d", f / 10, f % 10);
        frame.name = name;
        for (int r = 0; r <= rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const float angle = 6.2831853f * static_cast<float>(c) / columns;
                const float radius = 100.0f + 20.0f * std::sin(0.1f * static_cast<float>(f) + 0.3f * static_cast<float>(r));
                const float x = std::cos(angle), y = std::sin(angle);
                frame.vertices.push_back({{static_cast<std::uint8_t>(128 + radius * x),
                                           static_cast<std::uint8_t>(128 + radius * y),
                                           static_cast<std::uint8_t>(r * 255 / rows)},
                                          NearestMD2Normal(x, y, 0.0f)});
            }
        }
        model.frames.push_back(std::move(frame));
    }
    return model;
}

// Writes the model once per process into the temporary folder and returns its path.
inline std::string WriteBenchModel(const std::string& name, int triangles, int frames) {
    const std::string path = "/tmp/lumivox-bench-" + name + ".md2";
    WriteFileBytes(path, WriteMD2(MakeBandModel(triangles, frames)));
    return path;
}
