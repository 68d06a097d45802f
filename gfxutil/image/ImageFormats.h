#pragma once
// The Direct3D 9 types that decoded images carry (D3DFORMAT, D3DRESOURCETYPE come from the
// device header) and the palette entry of the Windows graphics interface.

#include "platform/d3d9/D3D9Types.h"

// A palette colour; peFlags holds the alpha.
struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
static_assert(sizeof(PALETTEENTRY) == 4);
