#pragma once
// Expands block-compressed (DXT1 to DXT5) pixels to D3DFMT_A8R8G8B8, for texture creation when
// the device cannot take the compressed format. DXT2 and DXT4 colours stay premultiplied by
// alpha, as stored.

#include "gfxutil/image/ImageFormats.h"

bool IsDxtFormat(D3DFORMAT format);

// Bytes of one 4 x 4 block: 8 for DXT1, 16 for the others; 0 for other formats.
UINT DxtBlockBytes(D3DFORMAT format);

// One block to 16 pixels, row by row, each the 32-bit value 0xAARRGGBB.
void DecodeDxtBlock(D3DFORMAT format, const BYTE* block, DWORD pixels[16]);

// A width x height surface stored as rows of blocks `sourcePitch` bytes apart into A8R8G8B8
// rows `targetPitch` bytes apart. Blocks past the right or bottom edge are clipped. Returns
// E_INVALIDARG for a format that is not DXT1 to DXT5 or a pitch too small for a row.
HRESULT DecompressDxt(D3DFORMAT format, const BYTE* source, UINT sourcePitch, UINT width, UINT height,
                      BYTE* target, UINT targetPitch);
