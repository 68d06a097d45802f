#pragma once
// Baseline JPEG encoding of an RGB image.

#include <cstdint>
#include <vector>

#include "SkinPainter.h"

// Full-resolution colour (no chroma subsampling) so small painted details keep their colour.
// Empty when the encoder fails.
std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality);
