#pragma once
// How every device of the program presents: one back buffer of the given size and format,
// discarded at each present, a D16 depth buffer, windowed, never waiting for the vertical retrace.
// A null window gives a headless device.

#include "platform/d3d9/Direct3D9.h"

D3DPRESENT_PARAMETERS PresentParameters(UINT width, UINT height, D3DFORMAT format, HWND window);
