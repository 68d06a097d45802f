#pragma once
// The decoder of each image file format. Each one recognises its format from the content of
// `data` and decodes it into `image`, whose loadPixels and fileFormat fields are already set.
// Results: S_OK, E_OUTOFMEMORY when the image is too large to hold, or a failure when the data
// is not (or not a valid) file of that format. ImageDecoder tries them in turn.

#include <cstddef>

#include "gfxutil/image/DecodedImage.h"

HRESULT DecodeBmp(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodeDib(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodeTga(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodeJpeg(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodePng(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodePpm(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodeDds(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodeHdr(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodePfm(const BYTE* data, std::size_t size, DecodedImage& image);
HRESULT DecodePcx(const BYTE* data, std::size_t size, DecodedImage& image);
