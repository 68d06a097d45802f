#pragma once

#include <cstdint>

// One drawn corner of a model triangle: position, unit normal, skin coordinates and the
// one-dimensional shade coordinate that looks up the cartoon ramp.
struct ModelVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
    float shade;
};
static_assert(sizeof(ModelVertex) == 36);

// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE1(1)
constexpr std::uint32_t MODEL_VERTEX_FVF = 0xC0212;
