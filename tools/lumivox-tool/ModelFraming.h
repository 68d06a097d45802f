#pragma once
// A camera that fills a picture with one frame of the model: seen from the front, a little from
// the right and above, without perspective, the picture shaped like the model with its long side
// given.

#include "gfxutil/math/D3DXMath.h"
#include "model/MD2Model.h"

struct Framing {
    D3DXMATRIX view;
    D3DXMATRIX projection;
    int width = 0;
    int height = 0;
};

// Frames frame `frameIndex` of `model` as the model drawing places it (lifted onto the ground
// when the render settings say so). False when the frame has no triangles.
bool FrameModel(const MD2Model& model, int frameIndex, int longSide, Framing& framing);
