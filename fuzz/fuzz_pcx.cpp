#include "fuzz/FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Run(DecodePcx, data, size);
    return 0;
}
