#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

constexpr DWORD kMipMapCount = 0x20000;
constexpr DWORD kDepth = 0x800000;
constexpr DWORD kFourCC = 0x4;
constexpr DWORD kRgb = 0x40;
constexpr DWORD kAlphaPixels = 0x1;
constexpr DWORD kCubeAllFaces = 0x200 | 0xFC00;
constexpr DWORD kVolume = 0x200000;

struct DdsLayout {
    UINT width = 4;
    UINT height = 4;
    UINT depth = 0;
    UINT mipCount = 0;
    DWORD flags = 0x1007;
    DWORD pixelFlags = kRgb | kAlphaPixels;
    DWORD fourCC = 0;
    DWORD bitCount = 32;
    DWORD masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    DWORD caps2 = 0;
    std::size_t payload = 0;
};

Bytes MakeDds(const DdsLayout& layout) {
    Bytes out = {'D', 'D', 'S', ' '};
    PutLE32(out, 124);
    PutLE32(out, layout.flags | (layout.mipCount ? kMipMapCount : 0) | (layout.depth ? kDepth : 0));
    PutLE32(out, layout.height);
    PutLE32(out, layout.width);
    PutLE32(out, 0);
    PutLE32(out, layout.depth);
    PutLE32(out, layout.mipCount);
    for (int i = 0; i < 11; ++i)
        PutLE32(out, 0);
    PutLE32(out, 32);
    PutLE32(out, layout.pixelFlags);
    PutLE32(out, layout.fourCC);
    PutLE32(out, layout.bitCount);
    for (DWORD mask : layout.masks)
        PutLE32(out, mask);
    PutLE32(out, 0x1000);
    PutLE32(out, layout.caps2);
    PutLE32(out, 0);
    PutLE32(out, 0);
    PutLE32(out, 0);
    for (std::size_t i = 0; i < layout.payload; ++i)
        out.push_back(static_cast<BYTE>(i));
    return out;
}

constexpr std::size_t kDataStart = 128;

} // namespace

TEST(DdsDecoder, PlainSurfaceIsUsedInPlace) {
    DdsLayout layout;
    layout.width = 4;
    layout.height = 2;
    layout.payload = 32;
    const Bytes data = MakeDds(layout);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(image->rowPitch, 16u);
    EXPECT_EQ(image->pixels, data.data() + kDataStart);
    EXPECT_FALSE(image->PixelsOwned());

    layout.payload = 31;
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA) << "cut short";
}

TEST(DdsDecoder, MaskedFormats) {
    struct {
        DWORD flags, bits, red, green, blue, alpha;
        D3DFORMAT format;
    } const cases[] = {
        {kRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8R8G8B8},
        {kRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_R8G8B8},
        {kRgb, 16, 0xF800, 0x7E0, 0x1F, 0, D3DFMT_R5G6B5},
        {kRgb | kAlphaPixels, 16, 0x7C00, 0x3E0, 0x1F, 0x8000, D3DFMT_A1R5G5B5},
        {0x20000, 8, 0xFF, 0, 0, 0, D3DFMT_L8},
        {0x20000 | kAlphaPixels, 16, 0xFF, 0, 0, 0xFF00, D3DFMT_A8L8},
    };
    for (const auto& c : cases) {
        DdsLayout layout;
        layout.pixelFlags = c.flags;
        layout.bitCount = c.bits;
        layout.masks[0] = c.red;
        layout.masks[1] = c.green;
        layout.masks[2] = c.blue;
        layout.masks[3] = c.alpha;
        layout.payload = 4 * 4 * 4;
        const auto image = Decode(MakeDds(layout));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, c.format);
        EXPECT_EQ(image->rowPitch, 4 * c.bits / 8);
    }
    DdsLayout unknown;
    unknown.masks[0] = 0x7;
    unknown.payload = 64;
    EXPECT_EQ(DecodeResult(MakeDds(unknown)), D3DXERR_INVALIDDATA);
}

TEST(DdsDecoder, MipChainLevelsFollowEachOther) {
    DdsLayout layout;
    layout.width = 4;
    layout.height = 2;
    layout.mipCount = 10; // more than the chain has: three levels
    layout.payload = 32 + 8 + 4;
    const Bytes data = MakeDds(layout);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.MipLevels, 3u);
    const DecodedImage* level1 = image->nextMip.get();
    ASSERT_NE(level1, nullptr);
    const DecodedImage* level2 = level1->nextMip.get();
    ASSERT_NE(level2, nullptr);
    EXPECT_EQ(level2->nextMip, nullptr);
    EXPECT_EQ(level1->width, 2u);
    EXPECT_EQ(level1->height, 1u);
    EXPECT_EQ(level2->width, 1u);
    EXPECT_EQ(level1->pixels, data.data() + kDataStart + 32);
    EXPECT_EQ(level2->pixels, data.data() + kDataStart + 40);
    EXPECT_EQ(level2->sourceRect.right, 1);

    layout.payload = 43;
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA) << "last level cut short";
}

TEST(DdsDecoder, BlockCompressedLevelsAreKeptCompressed) {
    DdsLayout layout;
    layout.width = 8;
    layout.height = 6;
    layout.mipCount = 4;
    layout.pixelFlags = kFourCC;
    layout.fourCC = D3DFMT_DXT1;
    layout.payload = (2 * 2 + 1 + 1 + 1) * 8;
    auto image = Decode(MakeDds(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_DXT1);
    EXPECT_EQ(image->rowPitch, 16u);
    EXPECT_EQ(image->slicePitch, 32u);
    const DecodedImage* last = image->nextMip->nextMip->nextMip.get();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->width, 1u);
    EXPECT_EQ(last->rowPitch, 8u);

    layout.fourCC = D3DFMT_DXT5;
    layout.payload = (2 * 2 + 1 + 1 + 1) * 16;
    image = Decode(MakeDds(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_DXT5);
    EXPECT_EQ(image->rowPitch, 32u);
    layout.payload -= 1;
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA);

    layout.height = 0xFFFFFFFE; // its rows of blocks must not wrap round to nothing
    layout.mipCount = 1;
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA);
    layout.height = 6;

    layout.fourCC = D3DFMT_A16B16G16R16;
    layout.mipCount = 1;
    layout.payload = 8 * 6 * 8;
    image = Decode(MakeDds(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A16B16G16R16);
    layout.fourCC = D3DMakeFourCC('A', 'T', 'I', '2');
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA);
}

TEST(DdsDecoder, CubeMapHasSixLinkedFacesEachWithItsLevels) {
    DdsLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.mipCount = 2;
    layout.caps2 = kCubeAllFaces;
    layout.payload = 6 * (16 + 4);
    const Bytes data = MakeDds(layout);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(info.MipLevels, 2u);
    int faces = 0;
    for (const DecodedImage* face = image.get(); face != nullptr; face = face->nextFace.get(), ++faces) {
        EXPECT_EQ(face->pixels, data.data() + kDataStart + faces * 20);
        ASSERT_NE(face->nextMip, nullptr);
        EXPECT_EQ(face->nextMip->pixels, face->pixels + 16);
        EXPECT_EQ(face->nextMip->sourceRect.bottom, 1);
        EXPECT_EQ(face->resourceType, D3DRTYPE_CUBETEXTURE);
    }
    EXPECT_EQ(faces, 6);

    layout.payload -= 1;
    EXPECT_EQ(DecodeResult(MakeDds(layout)), D3DXERR_INVALIDDATA);
}

TEST(DdsDecoder, VolumeLevelsHalveTheDepth) {
    DdsLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.depth = 4;
    layout.mipCount = 3;
    layout.caps2 = kVolume;
    layout.payload = 4 * 16 * 4 + 2 * 4 + 1 * 4;
    D3DXIMAGE_INFO info{};
    const auto image = Decode(MakeDds(layout), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(info.Depth, 4u);
    EXPECT_EQ(info.MipLevels, 3u);
    EXPECT_EQ(image->slicePitch, 16u);
    EXPECT_EQ(image->back, 4u);
    EXPECT_EQ(image->nextMip->depth, 2u);
    EXPECT_EQ(image->nextMip->nextMip->depth, 1u);
}
