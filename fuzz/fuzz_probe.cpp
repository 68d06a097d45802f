#include "fuzz/FuzzImage.h"

// The whole probe, as texture creation calls it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<DecodedImage> image;
    D3DXIMAGE_INFO info{};
    if (SUCCEEDED(DecodeImage(data, size, &info, true, &image))) {
        volatile unsigned sink = fuzz::TouchTree(*image);
        (void)sink;
    }
    return 0;
}
