#pragma once
// Filling rectangles of colour targets and depth-stencil buffers, for Clear and ColorFill.

#include "platform/d3d9/Rasterizer.h"
#include "platform/d3d9/Surface.h"

// Fills `rect` (clipped to the surface) with an A8R8G8B8 colour converted to the surface's format.
void FillColorRect(Surface& target, PixelRect rect, D3DCOLOR color);
// The same without telling the surface that its pixels changed: for the device's bands, which
// may run on several threads at once (the device tells the surface itself).
void FillColorPixels(Surface& target, PixelRect rect, D3DCOLOR color);

// Sets depth (as stored, see QuantizeDepth) and/or stencil in `rect` of a depth-stencil buffer.
void FillDepthStencilRect(Surface& depth, PixelRect rect, bool setDepth, DWORD depthValue, bool setStencil,
                          DWORD stencil);
