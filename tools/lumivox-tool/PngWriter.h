#pragma once
// Writes 8-bit RGBA pictures as PNG files.

#include <cstdint>
#include <string>

// `rgba` holds `height` rows of `width` pixels, 4 bytes each, `pitch` bytes apart. Writes to a
// temporary file and renames it, so a failed write leaves no partial file. Returns false on any
// failure and then says why in `error`.
bool WritePng(const std::string& path, const std::uint8_t* rgba, int width, int height, int pitch,
              std::string& error);

// Writes 32-bit ARGB pixels (A8R8G8B8 or X8R8G8B8 in memory order B, G, R, A) as RGBA; with
// `opaque` the alpha byte is ignored and written as 255.
bool WriteArgbPng(const std::string& path, const void* argb, int width, int height, int pitch, bool opaque,
                  std::string& error);
