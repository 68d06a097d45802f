#pragma once
// The picture a device has drawn, read back into memory.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9/Direct3D9.h"

struct Picture {
    int width = 0;
    int height = 0;
    // Rows of width pixels, 4 bytes each in memory order B, G, R, A (or X).
    std::vector<std::uint8_t> bgra;
};

// False, with the reason in `error`, when the back buffer cannot be read.
bool ReadBackBuffer(IDirect3DDevice9* device, Picture& picture, std::string& error);
