#pragma once
// Loads a block of pixels into another, converting the format and, when the sizes differ,
// filtering. The strategies are tried in a fixed order: straight copy, same-size conversion, then
// the filter's own (none, point, box, linear, triangle).

#include "gfxutil/texture/ImageFilterStages.h"

// Low 16 bits one of the five filters, nothing at or above 0x800000.
bool IsValidFilter(DWORD filter);

// D3DX_DEFAULT stands for the triangle filter with dithering.
DWORD ResolveLoadFilter(DWORD filter);

// Fills `target` from `source`. `filter` must already be resolved. A non-zero `colorKey`
// (0xAARRGGBB) turns source pixels of that colour into transparent black. Without
// `allowFastPaths` every conversion takes the general path through floats (the fast paths give
// the same bytes). Returns D3DERR_INVALIDCALL for a bad filter and E_FAIL when a format cannot be
// read or written or no strategy fits the sizes.
HRESULT LoadPixels(const PixelTarget& target, const PixelSource& source, DWORD filter, D3DCOLOR colorKey,
                   bool allowFastPaths = true);
