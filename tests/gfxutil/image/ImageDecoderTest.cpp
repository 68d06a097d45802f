#include <clocale>
#include <filesystem>
#include <random>
#include <string>

#include "ImageTestSupport.h"

using namespace imagetest;

using DecodeFunction = HRESULT (*)(const BYTE*, std::size_t, DecodedImage&);

TEST(ImageDecoder, TenRandomBytesAreNotAnImage) {
    const Bytes junk = {0x3B, 0xC2, 0x17, 0x9E, 0x55, 0x01, 0xF0, 0x88, 0x6D, 0x24};
    D3DXIMAGE_INFO info{};
    std::unique_ptr<DecodedImage> image;
    EXPECT_EQ(DecodeImage(junk.data(), junk.size(), &info, true, &image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(image, nullptr);
}

TEST(ImageDecoder, EmptyDataAndMissingOutputAreRefused) {
    std::unique_ptr<DecodedImage> image;
    EXPECT_EQ(DecodeImage(nullptr, 0, nullptr, true, &image), D3DXERR_INVALIDDATA);
    const BYTE one = 'B';
    EXPECT_EQ(DecodeImage(&one, 0, nullptr, true, &image), D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeImage(&one, 1, nullptr, true, nullptr), D3DERR_INVALIDCALL);
}

TEST(ImageDecoder, InformationDescribesTheImageAndItsFormat) {
    const Bytes data = ReadFixture("bmp24.bmp");
    D3DXIMAGE_INFO info{};
    info.MipLevels = 99;
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.Width, kPatternWidth);
    EXPECT_EQ(info.Height, kPatternHeight);
    EXPECT_EQ(info.Depth, 1u);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(image->sourceRect.left, 0);
    EXPECT_EQ(image->sourceRect.top, 0);
    EXPECT_EQ(image->sourceRect.right, static_cast<LONG>(kPatternWidth));
    EXPECT_EQ(image->sourceRect.bottom, static_cast<LONG>(kPatternHeight));
    EXPECT_EQ(image->back, 1u);
}

TEST(ImageDecoder, HeaderOnlyDecodeLoadsNoPixels) {
    for (const char* file : {"bmp8.bmp", "tga1.tga", "png-palette.png", "jpeg-colour.jpg"}) {
        D3DXIMAGE_INFO info{};
        const auto image = Decode(ReadFixture(file), &info, false);
        ASSERT_NE(image, nullptr) << file;
        EXPECT_EQ(image->pixels, nullptr) << file;
        EXPECT_EQ(image->Palette(), nullptr) << file;
        EXPECT_EQ(info.Width, kPatternWidth) << file;
    }
}

TEST(ImageDecoder, NumericLocaleIsRestoredAfterTheProbe) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "C.UTF-8") == nullptr)
        GTEST_SKIP() << "no C.UTF-8 locale";
    const auto image =
        Decode(Bytes{'P', 'f', ' ', '1', ' ', '1', ' ', '-', '1', '.', '5', '\n', 0, 0, 0x80, 0x3F});
    const std::string during = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, before.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FloatAt(image->pixels), 1.0f);
    EXPECT_NE(during, "C");
}

// Every fixture, cut at every length, either decodes or is refused; none may read out of bounds
// (the sanitizer build checks that).
TEST(ImageDecoder, TruncatedFixturesNeverCrash) {
    for (const auto& entry : std::filesystem::directory_iterator(FixturePath(""))) {
        if (!entry.is_regular_file() || entry.path().extension() == ".sh")
            continue;
        const Bytes data = ReadFile(entry.path().string());
        for (std::size_t length = 0; length < data.size(); ++length) {
            const Bytes cut(data.begin(), data.begin() + static_cast<long>(length));
            std::unique_ptr<DecodedImage> image;
            const HRESULT hr = DecodeImage(cut.data(), cut.size(), nullptr, true, &image);
            EXPECT_TRUE(hr == S_OK || hr == D3DXERR_INVALIDDATA || hr == E_OUTOFMEMORY)
                << entry.path() << length;
            EXPECT_EQ(image != nullptr, hr == S_OK);
        }
    }
}

TEST(ImageDecoder, RandomBytesNeverCrash) {
    std::mt19937 random(2024);
    for (int i = 0; i < 2000; ++i) {
        Bytes data(random() % 64 + 1);
        for (BYTE& b : data)
            b = static_cast<BYTE>(random());
        std::unique_ptr<DecodedImage> image;
        const HRESULT hr = DecodeImage(data.data(), data.size(), nullptr, true, &image);
        EXPECT_TRUE(hr == S_OK || hr == D3DXERR_INVALIDDATA || hr == E_OUTOFMEMORY);
    }
}

// Hostile inputs (sizes far beyond the data, runs past the image) and every input fuzzing ever
// found to crash a decoder.
TEST(ImageDecoder, RegressionInputsDecodeOrFailCleanly) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(FixturePath("regress"))) {
        const Bytes data = ReadFile(entry.path().string());
        ++files;
        for (bool loadPixels : {false, true}) {
            std::unique_ptr<DecodedImage> image;
            const HRESULT hr = DecodeImage(data.data(), data.size(), nullptr, loadPixels, &image);
            EXPECT_TRUE(hr == S_OK || hr == D3DXERR_INVALIDDATA || hr == E_OUTOFMEMORY) << entry.path();
        }
    }
    EXPECT_GT(files, 0);
}

// Small files whose headers claim images their data cannot hold (see make-hostile.py): each is
// refused by the decoder of its format before it allocates the image.
TEST(ImageDecoder, HostileFilesAreRefusedBeforeAllocating) {
    const struct {
        const char* prefix;
        DecodeFunction decode;
    } formats[] = {{"hostile-bmp", DecodeBmp}, {"hostile-tga", DecodeTga},  {"hostile-dds", DecodeDds},
                   {"hostile-ppm", DecodePpm}, {"hostile-pfm", DecodePfm},  {"hostile-hdr", DecodeHdr},
                   {"hostile-png", DecodePng}, {"hostile-jpeg", DecodeJpeg}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(FixturePath("regress"))) {
        const std::string name = entry.path().filename().string();
        for (const auto& format : formats) {
            if (name.rfind(format.prefix, 0) != 0)
                continue;
            ++files;
            const Bytes data = ReadFile(entry.path().string());
            DecodedImage image;
            EXPECT_EQ(format.decode(data.data(), data.size(), image), E_FAIL) << name;
            EXPECT_EQ(image.ownedPixels.capacity(), 0u) << name;
            EXPECT_EQ(DecodeResult(data), D3DXERR_INVALIDDATA) << name;
        }
    }
    EXPECT_EQ(files, 15);
}

// 8192 x 8192 pixels at most, refused from the header alone; the largest allowed size still passes.
TEST(ImageDecoder, ImagesAboveSixtyFourMegapixelsAreRefusedFromTheirHeader) {
    auto ppm = [](UINT width, UINT height) {
        const std::string text = "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
        return Bytes(text.begin(), text.end());
    };
    auto tga = [](UINT width, UINT height) {
        Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        PutLE16(out, width);
        PutLE16(out, height);
        Append(out, {24, 0x20});
        return out;
    };
    auto dds = [](UINT width, UINT height, UINT depth) {
        Bytes out = {'D', 'D', 'S', ' '};
        PutLE32(out, 124);
        PutLE32(out, 0x801007);
        PutLE32(out, height);
        PutLE32(out, width);
        PutLE32(out, 0);
        PutLE32(out, depth);
        out.resize(4 + 72, 0);
        PutLE32(out, 32);
        PutLE32(out, 0x4);
        Append(out, {'D', 'X', 'T', '1'});
        out.resize(4 + 108, 0);
        PutLE32(out, 0x200000);
        out.resize(4 + 124 + std::size_t{width / 4} * (height / 4) * depth * 8, 0);
        return out;
    };
    EXPECT_EQ(DecodeResult(ppm(8192, 8192), false), S_OK);
    EXPECT_EQ(DecodeResult(ppm(8193, 8192), false), D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeResult(ppm(65536, 1025), false), D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeResult(tga(8192, 8192), false), S_OK);
    EXPECT_EQ(DecodeResult(tga(8192, 8193), false), D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeResult(dds(1024, 1024, 64), false), S_OK);
    EXPECT_EQ(DecodeResult(dds(1024, 1024, 65), false), D3DXERR_INVALIDDATA) << "volume slices count";
}
