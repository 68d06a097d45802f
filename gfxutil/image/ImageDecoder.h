#pragma once
// Turns the bytes of an image file into a decoded image tree. The format is recognised from the
// content alone; the file name plays no part.

#include <memory>

#include "gfxutil/image/DecodedImage.h"

// Decodes `size` bytes at `data`. With `loadPixels` false only the headers are read (enough for
// `info`). On success `*image` holds the tree, whose pixels may point into `data`, so the data
// must outlive it; `info`, when given, describes the image. Returns S_OK, D3DXERR_INVALIDDATA
// when no format fits, or E_OUTOFMEMORY when the image is too large to hold.
HRESULT DecodeImage(const void* data, std::size_t size, D3DXIMAGE_INFO* info, bool loadPixels,
                    std::unique_ptr<DecodedImage>* image);
