#include "TextureTestSupport.h"

namespace {

constexpr DWORD kFaceColours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080, 0xFF102030, 0x80FFFFFF};

DWORD FirstPixel(const D3DLOCKED_RECT& locked) {
    return PixelAt(locked, 0, 0);
}

class TextureFromDdsTest : public TextureDeviceTest {};

TEST_F(TextureFromDdsTest, CubeMapsFillEveryFaceAndLevel) {
    std::vector<std::vector<BYTE>> faces;
    for (DWORD colour : kFaceColours)
        faces.push_back(Uniform(colour, 16));
    DdsLayout layout;
    layout.cube = true;
    const std::vector<BYTE> file = MakeDds(layout, faces);
    IDirect3DCubeTexture9* cube = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT, 0,
                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &cube),
              S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(cube->GetLevelCount(), 3u);
    for (UINT face = 0; face < 6; ++face) {
        for (UINT level : {0u, 2u}) {
            D3DLOCKED_RECT locked;
            ASSERT_EQ(cube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), level, &locked, nullptr,
                                     D3DLOCK_READONLY),
                      S_OK);
            EXPECT_EQ(FirstPixel(locked), kFaceColours[face]) << "face " << face << " level " << level;
            cube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), level);
        }
    }
    EXPECT_EQ(cube->Release(), 0u);
}

TEST_F(TextureFromDdsTest, VolumesAreBoxFilteredAcrossSlices) {
    std::vector<BYTE> slices;
    for (DWORD z = 0; z < 4; ++z) {
        const std::vector<BYTE> slice = Uniform(0xFF000000u | (z * 40 * 0x010101u), 16);
        slices.insert(slices.end(), slice.begin(), slice.end());
    }
    DdsLayout layout;
    layout.depth = 4;
    const std::vector<BYTE> file = MakeDds(layout, {slices});
    IDirect3DVolumeTexture9* volume = nullptr;
    ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                  0, nullptr, nullptr, &volume),
              S_OK);
    EXPECT_EQ(volume->GetLevelCount(), 3u);
    D3DLOCKED_BOX box;
    ASSERT_EQ(volume->LockBox(1, &box, nullptr, D3DLOCK_READONLY), S_OK);
    DWORD front, back;
    std::memcpy(&front, box.pBits, 4);
    std::memcpy(&back, static_cast<const BYTE*>(box.pBits) + box.SlicePitch, 4);
    EXPECT_EQ(front, 0xFF141414u); // slices 0 and 40 average to 20
    EXPECT_EQ(back, 0xFF646464u);  // slices 80 and 120 average to 100
    volume->UnlockBox(1);
    volume->Release();
}

TEST_F(TextureFromDdsTest, BlockCompressedImagesAreExpandedForThisDevice) {
    // Four DXT1 blocks; the second picks its second colour everywhere.
    std::vector<BYTE> blocks;
    for (int b = 0; b < 4; ++b) {
        PutLe(blocks, 0xF800, 2); // red
        PutLe(blocks, 0x001F, 2); // blue
        PutLe(blocks, b == 1 ? 0x55555555u : 0u, 4);
    }
    DdsLayout layout;
    layout.width = 8;
    layout.height = 8;
    layout.fourCC = D3DFMT_DXT1;
    const std::vector<BYTE> file = MakeDds(layout, {blocks});
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              S_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(PixelAt(locked, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(locked, 5, 2), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(locked, 7, 7), 0xFFFF0000u);
    texture->UnlockRect(0);
    texture->Release();
}

} // namespace
