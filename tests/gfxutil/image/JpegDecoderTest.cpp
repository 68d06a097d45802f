#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "ImageTestSupport.h"
#include "platform/os/ProcessorFeatures.h"

using namespace imagetest;

namespace {

// A JPEG written by libjpeg from `samples` (components per pixel: 1, 3 or 4 for CMYK).
Bytes WriteJpeg(UINT width, UINT height, int components, const Bytes& samples, int quality = 90) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

Bytes Noise(std::size_t count) {
    Bytes out(count);
    std::uint32_t state = 12345;
    for (BYTE& b : out) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<BYTE>(state >> 24);
    }
    return out;
}

Bytes DecodedBytes(const Bytes& data) {
    const auto image = Decode(data);
    if (!image)
        return {};
    return Bytes(image->pixels, image->pixels + static_cast<std::size_t>(image->rowPitch) * image->height);
}

// Sets or clears the DisableMMX switch for one scope.
class DisableMmxSwitch {
public:
    explicit DisableMmxSwitch(const char* value) {
        if (value != nullptr)
            setenv("DisableMMX", value, 1);
        else
            unsetenv("DisableMMX");
    }
    ~DisableMmxSwitch() { unsetenv("DisableMMX"); }
};

} // namespace

TEST(JpegDecoder, ColourFileDecodesToZeroPaddedXrgbNearTheSource) {
    const Bytes data = ReadFixture("jpeg-colour.jpg");
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image->rowPitch, 4 * kPatternWidth);
    for (UINT y = 0; y < kPatternHeight; ++y) {
        for (UINT x = 0; x < kPatternWidth; ++x) {
            const Rgba got = ReadPixel(*image, x, y);
            const Rgba want = RichPixel(x, y);
            EXPECT_NEAR(got.r, want.r, 8) << x << ", " << y;
            EXPECT_NEAR(got.g, want.g, 8) << x << ", " << y;
            EXPECT_NEAR(got.b, want.b, 8) << x << ", " << y;
            EXPECT_EQ(image->Row(y)[4 * x + 3], 0);
        }
    }
}

TEST(JpegDecoder, GreyFileDecodesToLuminance) {
    const auto image = Decode(ReadFixture("jpeg-grey.jpg"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_L8);
    EXPECT_EQ(image->rowPitch, kPatternWidth);
    for (UINT y = 0; y < kPatternHeight; ++y)
        for (UINT x = 0; x < kPatternWidth; ++x)
            EXPECT_NEAR(image->Row(y)[x], GreyLevel(x, y), 8) << x << ", " << y;
}

TEST(JpegDecoder, RecognisedByContentWhateverTheFileIsCalled) {
    D3DXIMAGE_INFO info{};
    const auto image = Decode(ReadFixture("jpeg-named.bmp"), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
}

TEST(JpegDecoder, FourComponentFilesAreRejected) {
    const Bytes cmyk = WriteJpeg(8, 8, 4, Noise(8 * 8 * 4));
    EXPECT_EQ(DecodeResult(cmyk), D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeResult(cmyk, false), D3DXERR_INVALIDDATA);
}

TEST(JpegDecoder, CorruptDataFailsCleanlyAndTruncatedDataEndsThePicture) {
    const Bytes good = WriteJpeg(32, 32, 3, Noise(32 * 32 * 3));
    ASSERT_EQ(DecodeResult(good), S_OK);
    Bytes corrupt = good;
    for (std::size_t i = 2; i < 40 && i < corrupt.size(); ++i)
        corrupt[i] = 0xEE;
    EXPECT_EQ(DecodeResult(corrupt), D3DXERR_INVALIDDATA);
    const Bytes headerOnly(good.begin(), good.begin() + 20);
    EXPECT_EQ(DecodeResult(headerOnly), D3DXERR_INVALIDDATA);
    const Bytes cut(good.begin(), good.end() - static_cast<long>(good.size() / 3));
    EXPECT_EQ(DecodeResult(cut), S_OK);
}

TEST(JpegDecoder, DisableMmxSwitchOrAProcessorWithoutMmxSelectsTheFastTransform) {
    const Bytes data = WriteJpeg(64, 64, 3, Noise(64 * 64 * 3), 95);
    Bytes withSwitch;
    Bytes withoutMmx;
    Bytes normal;
    {
        DisableMmxSwitch set("1");
        withSwitch = DecodedBytes(data);
    }
    {
        DisableMmxSwitch clear(nullptr);
        ProcessorFeatures noMmx = GetProcessorFeatures();
        noMmx.mmx = false;
        SetProcessorFeaturesOverride(&noMmx);
        withoutMmx = DecodedBytes(data);
        SetProcessorFeaturesOverride(nullptr);
    }
    ProcessorFeatures withMmx = GetProcessorFeatures();
    withMmx.mmx = true;
    SetProcessorFeaturesOverride(&withMmx);
    {
        DisableMmxSwitch zero("0");
        normal = DecodedBytes(data);
    }
    SetProcessorFeaturesOverride(nullptr);

    ASSERT_FALSE(withSwitch.empty());
    EXPECT_EQ(withSwitch, withoutMmx);
    EXPECT_NE(withSwitch, normal) << "the fast transform rounds differently from the accurate one";
}
