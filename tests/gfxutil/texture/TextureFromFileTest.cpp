#include "TextureTestSupport.h"

#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace {

DWORD Gradient(UINT x, UINT y) {
    return ((x * 2) << 16) | ((y * 4) << 8) | ((x + y) & 0xFF);
}

class TextureFromFileTest : public TextureDeviceTest {
protected:
    std::string Write(const std::string& name, const std::vector<BYTE>& bytes) {
        const std::string path = dir.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    HRESULT FromMemory(IDirect3DDevice9* on, const std::vector<BYTE>& file, IDirect3DTexture9** texture,
                       D3DPOOL pool = D3DPOOL_MANAGED, DWORD filter = D3DX_DEFAULT, D3DCOLOR key = 0,
                       D3DFORMAT format = D3DFMT_UNKNOWN, PALETTEENTRY* palette = nullptr) {
        return D3DXCreateTextureFromFileInMemoryEx(on, file.data(), static_cast<UINT>(file.size()),
                                                   D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, format, pool,
                                                   filter, D3DX_DEFAULT, key, nullptr, palette, texture);
    }

    static D3DSURFACE_DESC Desc(IDirect3DTexture9* texture, UINT level = 0) {
        D3DSURFACE_DESC desc{};
        EXPECT_EQ(texture->GetLevelDesc(level, &desc), S_OK);
        return desc;
    }

    // Calls `check` with level `level` locked.
    static void WithLevel(IDirect3DTexture9* texture, UINT level,
                          const std::function<void(const D3DLOCKED_RECT&)>& check) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), S_OK);
        check(locked);
        texture->UnlockRect(level);
    }

    TempDir dir;
};

TEST_F(TextureFromFileTest, DefaultsGiveAPowerOfTwoTextureWithAFullMipChain) {
    const std::string path = Write("small.bmp", MakeBmp24(100, 60, Gradient));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), S_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 8u);
    EXPECT_EQ(Desc(texture).Width, 128u);
    EXPECT_EQ(Desc(texture).Height, 64u);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Desc(texture).Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(Desc(texture, 7).Width, 1u);

    // Each further level is the 2 x 2 average of the one above.
    std::vector<DWORD> top;
    WithLevel(texture, 0, [&](const D3DLOCKED_RECT& l) {
        for (UINT y = 0; y < 2; ++y)
            for (UINT x = 0; x < 2; ++x)
                top.push_back(PixelAt(l, 40 + x, 30 + y));
    });
    WithLevel(texture, 1, [&](const D3DLOCKED_RECT& l) {
        const DWORD pixel = PixelAt(l, 20, 15);
        for (int shift : {0, 8, 16}) {
            UINT sum = 0;
            for (DWORD p : top)
                sum += (p >> shift) & 0xFF;
            EXPECT_EQ((pixel >> shift) & 0xFF, (sum + 2) / 4) << shift;
        }
    });
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(TextureFromFileTest, LevelZeroIsTheTriangleFilteredImage) {
    // The same picture loaded straight into a 128 x 64 surface with the triangle filter and dithering.
    std::vector<BYTE> rgb;
    for (UINT y = 0; y < 60; ++y)
        for (UINT x = 0; x < 100; ++x)
            PutLe(rgb, Gradient(x, y), 3);
    IDirect3DTexture9* expected = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 64, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &expected, nullptr),
              S_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(expected->GetSurfaceLevel(0, &surface), S_OK);
    const RECT whole{0, 0, 100, 60};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, rgb.data(), D3DFMT_R8G8B8, 300, nullptr,
                                        &whole, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER, 0),
              S_OK);
    surface->Release();

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(device, MakeBmp24(100, 60, Gradient), &texture), S_OK);
    WithLevel(expected, 0, [&](const D3DLOCKED_RECT& want) {
        WithLevel(texture, 0, [&](const D3DLOCKED_RECT& got) {
            int differences = 0;
            for (UINT y = 0; y < 64; ++y)
                for (UINT x = 0; x < 128; ++x)
                    differences += PixelAt(got, x, y) != PixelAt(want, x, y);
            EXPECT_EQ(differences, 0);
            // Resampled, not copied: the first texel is blended with its neighbours.
            EXPECT_NE(PixelAt(got, 1, 1), 0xFF000000u | Gradient(1, 1));
        });
    });
    texture->Release();
    expected->Release();
}

TEST_F(TextureFromFileTest, ResamplingKeepsAUniformColourExact) {
    const std::vector<BYTE> file = MakeBmp24(100, 60, [](UINT, UINT) { return 0x4080C0u; });
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(device, file, &texture), S_OK);
    for (UINT level : {0u, 3u, 7u})
        WithLevel(texture, level, [&](const D3DLOCKED_RECT& l) {
            EXPECT_EQ(PixelAt(l, 0, 0) & 0xFFFFFF, 0x4080C0u);
            EXPECT_EQ(PixelAt(l, Desc(texture, level).Width - 1, Desc(texture, level).Height - 1) & 0xFFFFFF,
                      0x4080C0u);
        });
    texture->Release();
}

TEST_F(TextureFromFileTest, TwentyFourBitBmpBecomesXrgbWithNineLevels) {
    const std::vector<BYTE> file = MakeBmp24(256, 256, Gradient);
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, file.data(), static_cast<UINT>(file.size()),
                                                  D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
                                                  nullptr, &texture),
              S_OK);
    EXPECT_EQ(info.Width, 256u);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(texture->GetLevelCount(), 9u);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_X8R8G8B8);
    WithLevel(texture, 0, [](const D3DLOCKED_RECT& l) {
        for (UINT y : {0u, 77u, 255u})
            for (UINT x : {0u, 13u, 255u})
                ASSERT_EQ(PixelAt(l, x, y), 0xFF000000u | Gradient(x, y)) << x << ", " << y;
    });
    texture->Release();
}

TEST_F(TextureFromFileTest, ColourKeyOnAPaletteImageClearsItsEntries) {
    const std::vector<DWORD> palette = {0x000000, 0xFF00FF, 0x00FF00};
    const std::vector<BYTE> file =
        MakeBmp8(8, 8, palette, [](UINT x, UINT) { return static_cast<BYTE>(x % 3); });
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(device, file, &texture, D3DPOOL_MANAGED, D3DX_DEFAULT, 0xFFFF00FF), S_OK);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_A8R8G8B8);
    WithLevel(texture, 0, [](const D3DLOCKED_RECT& l) {
        EXPECT_EQ(PixelAt(l, 0, 0), 0xFF000000u);
        EXPECT_EQ(PixelAt(l, 1, 0), 0x00000000u);
        EXPECT_EQ(PixelAt(l, 2, 5), 0xFF00FF00u);
        EXPECT_EQ(PixelAt(l, 4, 7), 0x00000000u);
    });
    texture->Release();
}

TEST_F(TextureFromFileTest, ColourKeyOnATrueColourImageGainsAnAlphaChannel) {
    const std::vector<BYTE> file =
        MakeBmp24(4, 4, [](UINT x, UINT y) { return x == y ? 0xFF00FFu : 0x123456u; });
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(device, file, &texture, D3DPOOL_MANAGED, D3DX_DEFAULT, 0xFFFF00FF), S_OK);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_A8R8G8B8);
    WithLevel(texture, 0, [](const D3DLOCKED_RECT& l) {
        EXPECT_EQ(PixelAt(l, 2, 2), 0x00000000u);
        EXPECT_EQ(PixelAt(l, 1, 2), 0xFF123456u);
    });
    texture->Release();
}

TEST_F(TextureFromFileTest, PaletteImagesBecomeLuminanceOrColour) {
    std::vector<DWORD> grey(256);
    for (DWORD i = 0; i < 256; ++i)
        grey[i] = i * 0x010101;
    const std::vector<BYTE> greyFile =
        MakeBmp8(4, 4, grey, [](UINT x, UINT y) { return static_cast<BYTE>(x * 16 + y); });
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(device, greyFile, &texture), S_OK);
    EXPECT_EQ(Desc(texture).Format, D3DFMT_L8);
    texture->Release();

    // Asking for the palette keeps the palette format (which this device lacks, so it gets colour).
    PALETTEENTRY palette[256];
    const std::vector<BYTE> colourFile =
        MakeBmp8(4, 4, {0x102030, 0x405060}, [](UINT x, UINT) { return BYTE(x & 1); });
    ASSERT_EQ(
        FromMemory(device, colourFile, &texture, D3DPOOL_MANAGED, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, palette),
        S_OK);
    EXPECT_EQ(palette[1].peRed, 0x40);
    EXPECT_EQ(palette[1].peFlags, 255);
    EXPECT_EQ(palette[2].peRed, 255); // entries the file does not have are opaque white
    EXPECT_EQ(Desc(texture).Format, D3DFMT_A8R8G8B8);
    texture->Release();
}

TEST_F(TextureFromFileTest, DefaultPoolTexturesAreFilledThroughAStagingCopy) {
    RecordingDevice recorder(device);
    const std::vector<BYTE> file = MakeBmp24(64, 32, Gradient);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(FromMemory(&recorder, file, &texture, D3DPOOL_DEFAULT), S_OK);
    EXPECT_EQ(recorder.TexturesCreated(), 2);
    EXPECT_EQ(Desc(texture).Pool, D3DPOOL_DEFAULT);
    // The default-pool texture cannot be locked; the staging copy it was filled from can.
    IDirect3DTexture9* staging = recorder.Recorded(1);
    EXPECT_EQ(Desc(staging).Pool, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(staging->GetLevelCount(), texture->GetLevelCount());
    WithLevel(staging, 0,
              [](const D3DLOCKED_RECT& l) { EXPECT_EQ(PixelAt(l, 5, 9), 0xFF000000u | Gradient(5, 9)); });
    WithLevel(staging, 6, [](const D3DLOCKED_RECT& l) { EXPECT_NE(PixelAt(l, 0, 0) & 0xFFFFFF, 0u); });
    texture->Release();
    EXPECT_TRUE(recorder.ReleaseRecorded()); // the staging copy is gone too
}

TEST_F(TextureFromFileTest, DataThatIsNoImageIsInvalid) {
    RecordingDevice recorder(device);
    const std::vector<BYTE> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'};
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(&recorder);
    EXPECT_EQ(FromMemory(&recorder, text, &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(recorder.TexturesCreated(), 0);

    const std::string path = Write("notes.bmp", text);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, dir.File("missing.bmp").c_str(), &texture),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, Write("empty.bmp", {}).c_str(), &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureFromFileTest, MissingArgumentsAreInvalidCalls) {
    const std::string path = Write("ok.bmp", MakeBmp24(2, 2, Gradient));
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, path.c_str(), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, nullptr, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, nullptr, 10, D3DX_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3DERR_INVALIDCALL);
}

TEST_F(TextureFromFileTest, FailuresLeaveNoTextureBehind) {
    const std::vector<BYTE> file = MakeBmp24(100, 60, Gradient);
    IDirect3DTexture9* texture = nullptr;
    {
        RecordingDevice recorder(device);
        recorder.FailCreateTextureAt(2); // the staging copy
        EXPECT_EQ(FromMemory(&recorder, file, &texture, D3DPOOL_DEFAULT), E_OUTOFMEMORY);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(recorder.TexturesCreated(), 1);
        EXPECT_TRUE(recorder.ReleaseRecorded());
    }
    {
        RecordingDevice recorder(device);
        recorder.FailUpdateTexture(true);
        EXPECT_EQ(FromMemory(&recorder, file, &texture, D3DPOOL_DEFAULT), D3DERR_INVALIDCALL);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(recorder.TexturesCreated(), 2);
        EXPECT_TRUE(recorder.ReleaseRecorded());
    }
    {
        // A box filter cannot take 100 x 60 to 128 x 64.
        RecordingDevice recorder(device);
        EXPECT_EQ(FromMemory(&recorder, file, &texture, D3DPOOL_MANAGED, D3DX_FILTER_BOX), E_FAIL);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(recorder.TexturesCreated(), 1);
        EXPECT_TRUE(recorder.ReleaseRecorded());
    }
    {
        RecordingDevice recorder(device);
        EXPECT_EQ(FromMemory(&recorder, file, &texture, D3DPOOL_MANAGED, 6), D3DERR_INVALIDCALL);
        EXPECT_EQ(FromMemory(&recorder, file, &texture, static_cast<D3DPOOL>(7)), D3DERR_INVALIDCALL);
        EXPECT_EQ(recorder.TexturesCreated(), 0);
    }
}

TEST_F(TextureFromFileTest, CubeTexturesNeedSixFaces) {
    const std::vector<BYTE> file = MakeBmp24(8, 8, Gradient);
    IDirect3DCubeTexture9* cube = nullptr;
    EXPECT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT, 0,
                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &cube),
              E_FAIL);
    EXPECT_EQ(cube, nullptr);
}

TEST_F(TextureFromFileTest, VolumeTexturesFromFlatImagesAreOneSliceDeep) {
    const std::vector<BYTE> file = MakeBmp24(8, 4, Gradient);
    IDirect3DVolumeTexture9* volume = nullptr;
    ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemoryEx(
                  device, file.data(), static_cast<UINT>(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                  0, nullptr, nullptr, &volume),
              S_OK);
    D3DVOLUME_DESC desc;
    ASSERT_EQ(volume->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Depth, 1u);
    EXPECT_EQ(volume->GetLevelCount(), 4u);
    D3DLOCKED_BOX box;
    ASSERT_EQ(volume->LockBox(0, &box, nullptr, D3DLOCK_READONLY), S_OK);
    DWORD pixel;
    std::memcpy(&pixel, static_cast<const BYTE*>(box.pBits) + 3 * box.RowPitch + 4 * 6, 4);
    EXPECT_EQ(pixel, 0xFF000000u | Gradient(6, 3));
    volume->UnlockBox(0);
    volume->Release();
}

class FilterTextureTest : public TextureFromFileTest {};

TEST_F(FilterTextureTest, DefaultFilterBoxesPowerOfTwoTextures) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x) {
            const DWORD value = 0xFF000000u | (x * 40 + y * 9);
            std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + 4 * x, &value, 4);
        }
    texture->UnlockRect(0);
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_DEFAULT), S_OK);
    WithLevel(texture, 1, [](const D3DLOCKED_RECT& l) {
        EXPECT_EQ(PixelAt(l, 1, 0) & 0xFF, (80u + 120 + 89 + 129 + 2) / 4);
    });
    WithLevel(texture, 2, [](const D3DLOCKED_RECT& l) { EXPECT_EQ(PixelAt(l, 0, 0), 0xFF000000u | 74u); });
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 3, D3DX_DEFAULT), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 0, 7), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(nullptr, nullptr, 0, D3DX_DEFAULT), D3DERR_INVALIDCALL);
    texture->Release();
}

} // namespace
