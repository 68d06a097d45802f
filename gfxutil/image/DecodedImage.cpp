#include "gfxutil/image/DecodedImage.h"

BYTE* DecodedImage::AllocatePixels(std::size_t bytes) {
    if (bytes > kMaxDecodedImageBytes)
        return nullptr;
    ownedPixels.assign(bytes, 0);
    pixels = ownedPixels.data();
    return ownedPixels.data();
}
