#pragma once
// A device without a window, as tools, tests and benchmarks use it: an X8R8G8B8 back buffer of
// the given size, lockable, with a D16 depth buffer; Present shows nothing and never waits.

#include "platform/d3d9/Direct3D9.h"

HRESULT CreateHeadlessDevice(UINT width, UINT height, IDirect3DDevice9** device);
