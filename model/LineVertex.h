#pragma once

#include <cstdint>

// A coloured line end point (the normal display and the grid).
struct LineVertex {
    float x, y, z;
    std::uint32_t color; // ARGB
};
static_assert(sizeof(LineVertex) == 16);

// D3DFVF_XYZ | D3DFVF_DIFFUSE
constexpr std::uint32_t LINE_VERTEX_FVF = 0x42;
