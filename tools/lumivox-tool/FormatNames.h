#pragma once

#include "platform/d3d9/D3D9Types.h"

// The D3DFMT_ name of a format without its prefix ("X8R8G8B8"), or "UNKNOWN".
const char* FormatName(D3DFORMAT format);
