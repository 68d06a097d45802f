// PNG files, decoded by libpng straight from memory.

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr double kScreenGamma = 2.2;
constexpr double kSrgbFileGamma = 0.45455;
constexpr std::size_t kSignatureSize = 8;

struct MemoryReader {
    const BYTE* data;
    std::size_t size;
    std::size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep target, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->pos)
        png_error(png, "read past the end of the data");
    std::memcpy(target, reader->data + reader->pos, count);
    reader->pos += count;
}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// What the decoded rows hold, after the transformations chosen below.
struct PngPlan {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    png_byte channels = 0;
    png_byte bytesPerSample = 1;
    double fileGamma = 0.0;
};

D3DFORMAT FormatFor(int colorType, bool sixteenBit, bool addAlpha) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
        if (addAlpha)
            return sixteenBit ? kFormatAL16 : D3DFMT_A8L8;
        return sixteenBit ? D3DFMT_L16 : D3DFMT_L8;
    case PNG_COLOR_TYPE_RGB:
        if (addAlpha)
            return sixteenBit ? D3DFMT_A16B16G16R16 : D3DFMT_A8R8G8B8;
        return sixteenBit ? kFormatRGB16 : D3DFMT_X8R8G8B8;
    case PNG_COLOR_TYPE_PALETTE:
        return D3DFMT_P8;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return sixteenBit ? kFormatAL16 : D3DFMT_A8L8;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return sixteenBit ? D3DFMT_A16B16G16R16 : D3DFMT_A8R8G8B8;
    default:
        return D3DFMT_UNKNOWN;
    }
}

png_byte ChannelsOf(D3DFORMAT format) {
    if (format == D3DFMT_L8 || format == D3DFMT_L16 || format == D3DFMT_P8)
        return 1;
    if (format == D3DFMT_A8L8 || format == kFormatAL16)
        return 2;
    return format == kFormatRGB16 ? 3 : 4;
}

// Sets up libpng's transformations and says what they will produce.
PngPlan PlanTransformations(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool sixteenBit = bitDepth == 16;
    const bool addAlpha = colorType != PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    PngPlan plan;
    plan.format = FormatFor(colorType, sixteenBit, addAlpha);
    plan.channels = ChannelsOf(plan.format);
    plan.bytesPerSample = sixteenBit ? 2 : 1;

    if (sixteenBit)
        png_set_swap(png);
    if (bitDepth < 8) {
        png_set_packing(png);
        if (colorType == PNG_COLOR_TYPE_GRAY)
            png_set_expand_gray_1_2_4_to_8(png);
    }
    if (addAlpha)
        png_set_tRNS_to_alpha(png);

    int srgbIntent = 0;
    double fileGamma = 0.0;
    if (png_get_sRGB(png, info, &srgbIntent) != 0)
        plan.fileGamma = kSrgbFileGamma;
    else if (png_get_gAMA(png, info, &fileGamma) != 0)
        plan.fileGamma = fileGamma;
    // Palette colours are corrected once, in the palette, not in every pixel.
    if (plan.fileGamma > 0.0 && colorType != PNG_COLOR_TYPE_PALETTE)
        png_set_gamma(png, kScreenGamma, plan.fileGamma);

    // Blue, green, red order as the 8-bit formats and the private 16-bit RGB keep it; the 16-bit
    // four-channel format stores red first.
    if ((colorType & PNG_COLOR_MASK_COLOR) != 0 && plan.format != D3DFMT_A16B16G16R16)
        png_set_bgr(png);
    if (plan.format == D3DFMT_X8R8G8B8)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return plan;
}

std::vector<PALETTEENTRY> BuildPalette(png_structp png, png_infop info, double fileGamma) {
    std::vector<PALETTEENTRY> palette(256, PALETTEENTRY{255, 255, 255, 255});
    BYTE gammaTable[256];
    const bool correct = fileGamma > 1e-6 && kScreenGamma > 1e-6;
    for (int i = 0; i < 256; ++i) {
        const double corrected = 255.0 * std::pow(i / 255.0, 1.0 / (kScreenGamma * fileGamma)) + 0.5;
        gammaTable[i] = correct ? static_cast<BYTE>(std::min(corrected, 255.0)) : static_cast<BYTE>(i);
    }
    png_colorp colors = nullptr;
    int colorCount = 0;
    if (png_get_PLTE(png, info, &colors, &colorCount) != 0) {
        for (int i = 0; i < colorCount && i < 256; ++i)
            palette[i] = PALETTEENTRY{gammaTable[colors[i].red], gammaTable[colors[i].green],
                                      gammaTable[colors[i].blue], 255};
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) != 0 && alpha != nullptr) {
        for (int i = 0; i < alphaCount && i < 256; ++i)
            palette[i].peFlags = alpha[i];
    }
    return palette;
}

// Frees libpng's structures however the decoder leaves; declared before the error jump point so
// that jumping back skips no destructor.
struct ReadStructGuard {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructGuard() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

} // namespace

HRESULT DecodePng(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < kSignatureSize || png_sig_cmp(data, 0, kSignatureSize) != 0)
        return E_FAIL;

    MemoryReader reader{data, size, 0};
    ReadStructGuard guard;
    std::vector<png_bytep> rows;
    PngPlan plan;

    guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (guard.png == nullptr)
        return E_OUTOFMEMORY;
    guard.info = png_create_info_struct(guard.png);
    if (guard.info == nullptr)
        return E_OUTOFMEMORY;
    png_structp png = guard.png;
    png_infop info = guard.info;
    if (setjmp(png_jmpbuf(png)))
        return E_FAIL;

#ifdef LUMIVOX_FUZZING
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    plan = PlanTransformations(png, info);

    image.format = plan.format;
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.depth = 1;
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const std::size_t pixelBytes = static_cast<std::size_t>(plan.channels) * plan.bytesPerSample;
    if (png_get_channels(png, info) != plan.channels || rowBytes != pixelBytes * image.width)
        return E_FAIL;
    image.rowPitch = static_cast<UINT>(rowBytes);
    image.slicePitch = static_cast<UINT>(rowBytes * image.height);
    if (!image.loadPixels)
        return S_OK;

    if (rowBytes > kMaxDecodedImageBytes / image.height)
        return E_OUTOFMEMORY;
    BYTE* pixels = image.AllocatePixels(rowBytes * image.height);
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    if (plan.format == D3DFMT_P8)
        image.palette = BuildPalette(png, info, plan.fileGamma);
    rows.resize(image.height);
    for (UINT y = 0; y < image.height; ++y)
        rows[y] = pixels + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return S_OK;
}
