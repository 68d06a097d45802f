#include "TextureTestSupport.h"

namespace {

class SurfaceLoaderTest : public TextureDeviceTest {
protected:
    void SetUp() override {
        TextureDeviceTest::SetUp();
        ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
                  S_OK);
        ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), S_OK);
    }
    void TearDown() override {
        if (surface)
            surface->Release();
        if (texture)
            texture->Release();
        TextureDeviceTest::TearDown();
    }

    std::vector<DWORD> Pixels() {
        std::vector<DWORD> pixels;
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
        for (UINT y = 0; y < 4; ++y)
            for (UINT x = 0; x < 4; ++x)
                pixels.push_back(PixelAt(locked, x, y));
        texture->UnlockRect(0);
        return pixels;
    }

    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* surface = nullptr;
};

TEST_F(SurfaceLoaderTest, LoadsIntoTheDestinationRectangleOnly) {
    const DWORD source[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    const RECT from{0, 0, 2, 2};
    const RECT to{1, 2, 3, 4};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, &to, source, D3DFMT_A8R8G8B8, 8, nullptr, &from,
                                        D3DX_FILTER_NONE, 0),
              S_OK);
    const std::vector<DWORD> pixels = Pixels();
    EXPECT_EQ(pixels[2 * 4 + 1], 0xFF000001u);
    EXPECT_EQ(pixels[3 * 4 + 2], 0xFF000004u);
    EXPECT_EQ(pixels[0], 0u); // outside the rectangle
    EXPECT_EQ(pixels[2 * 4 + 0], 0u);
}

TEST_F(SurfaceLoaderTest, SourceRectangleSelectsPartOfTheSource) {
    // A 3 x 2 palette image of which only the right column is loaded, stretched by point sampling.
    const BYTE indices[6] = {0, 0, 1, 0, 0, 2};
    std::vector<PALETTEENTRY> palette(256, PALETTEENTRY{0, 0, 0, 255});
    palette[1] = {255, 0, 0, 255};
    palette[2] = {0, 0, 255, 128};
    const RECT column{2, 0, 3, 2};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, indices, D3DFMT_P8, 3, palette.data(),
                                        &column, D3DX_FILTER_POINT, 0),
              S_OK);
    const std::vector<DWORD> pixels = Pixels();
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[1 * 4 + 3], 0xFFFF0000u);
    EXPECT_EQ(pixels[2 * 4 + 0], 0x800000FFu);
    EXPECT_EQ(pixels[15], 0x800000FFu);
}

TEST_F(SurfaceLoaderTest, RejectsBadRectanglesAndArguments) {
    const DWORD source[4] = {};
    const RECT from{0, 0, 2, 2};
    const RECT outside{2, 2, 5, 4};
    const RECT empty{1, 1, 1, 3};
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, &outside, source, D3DFMT_A8R8G8B8, 8, nullptr,
                                        &from, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, source, D3DFMT_A8R8G8B8, 8, nullptr,
                                        &empty, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, source, D3DFMT_A8R8G8B8, 8, nullptr,
                                        nullptr, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(nullptr, nullptr, nullptr, source, D3DFMT_A8R8G8B8, 8, nullptr, &from,
                                        D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    // A format nothing can read fails without touching the surface, which stays usable.
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, source, D3DFMT_YUY2, 8, nullptr, &from,
                                        D3DX_DEFAULT, 0),
              E_FAIL);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
    surface->UnlockRect();
}

} // namespace
