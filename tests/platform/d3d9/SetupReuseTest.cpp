// A draw whose pixel states are those of the draw before it reuses that draw's pixel setup, even
// when states were changed and set back in between; any real change of a texture, its pixels or
// levels, a sampler state, a render state or the target still shows in the picture.

#include "DeviceFixture.h"

#include "platform/d3d9/Device.h"

namespace {

constexpr DWORD kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

class ReuseFixture : public DeviceTest {
protected:
    void MakeDevice(const char* threads) {
        ThreadSwitch use(threads);
        CreateDevice(64, 64, D3DFMT_X8R8G8B8, false);
    }

    IDirect3DTexture9* Solid(DWORD color) { return MakeTexture(2, 2, {color, color, color, color}); }

    // The program's pattern: a second stage bound for one draw and unbound after it, with the
    // states it needs set again before every draw.
    void DrawModulated(IDirect3DTexture9* first, IDirect3DTexture9* second, float x0, float x1) {
        device->SetTexture(0, first);
        device->SetTexture(1, second);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        DrawTexQuad(x0, 0, x1, 64);
        device->SetTexture(1, nullptr);
    }

    int RecordedSetups() { return static_cast<Device*>(device)->RecordedSetups(); }
};

// Run with one thread (every draw done at once) and with two (draws recorded with their setups).
class SetupReuseTest : public ReuseFixture, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { MakeDevice(GetParam()); }
};

TEST_P(SetupReuseTest, TexturesBoundAgainOrReplacedDrawTheirOwnTexels) {
    ClearTo(0xFF000000);
    IDirect3DTexture9* red = Solid(kRed);
    IDirect3DTexture9* white = Solid(kWhite);
    for (int i = 0; i < 8; ++i)
        DrawModulated(white, red, float(i), float(i + 1));
    // A texture freed and a new one made in its place (often at the same address).
    device->SetTexture(0, nullptr);
    red->Release();
    IDirect3DTexture9* green = Solid(kGreen);
    DrawModulated(white, green, 8, 16);
    DrawModulated(green, white, 16, 24);
    DrawModulated(white, nullptr, 24, 32);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[size_t(10) * 64 + 3], kRed);
    EXPECT_EQ(pixels[size_t(10) * 64 + 12], kGreen);
    EXPECT_EQ(pixels[size_t(10) * 64 + 20], kGreen);
    EXPECT_EQ(pixels[size_t(10) * 64 + 28], kWhite);
    device->SetTexture(0, nullptr);
    green->Release();
    white->Release();
}

TEST_P(SetupReuseTest, ChangedPixelsAndLevelsOfABoundTextureShow) {
    ClearTo(0xFF000000);
    IDirect3DTexture9* white = Solid(kWhite);
    // Stays bound to the first stage while its pixels change.
    IDirect3DTexture9* changing = Solid(kRed);
    DrawModulated(changing, white, 0, 8);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(changing->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = kBlue;
    changing->UnlockRect(0);
    DrawModulated(changing, white, 8, 16);

    // Two levels: green on top, red below; SetLOD(1) makes the red level the one sampled.
    IDirect3DTexture9* levels = MakeTexture(2, 2, {kGreen, kGreen, kGreen, kGreen}, 2);
    IDirect3DSurface9* level1 = nullptr;
    ASSERT_EQ(levels->GetSurfaceLevel(1, &level1), D3D_OK);
    ASSERT_EQ(level1->LockRect(&locked, nullptr, 0), D3D_OK);
    *static_cast<DWORD*>(locked.pBits) = kRed;
    level1->UnlockRect();
    level1->Release();
    DrawModulated(levels, white, 16, 24);
    levels->SetLOD(1);
    DrawModulated(levels, white, 24, 32);

    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[size_t(30) * 64 + 4], kRed);
    EXPECT_EQ(pixels[size_t(30) * 64 + 12], kBlue);
    EXPECT_EQ(pixels[size_t(30) * 64 + 20], kGreen);
    EXPECT_EQ(pixels[size_t(30) * 64 + 28], kRed);
    device->SetTexture(0, nullptr);
    levels->Release();
    changing->Release();
    white->Release();
}

TEST_P(SetupReuseTest, SamplerAndRenderStatesSetBackDrawAsBeforeAndChangedOnesDoNot) {
    ClearTo(0xFF000000);
    // Two texels, red then green, repeated twice across each quad (u from 0 to 2).
    IDirect3DTexture9* pair = MakeTexture(2, 1, {kRed, kGreen});
    device->SetTexture(0, pair);
    auto quad = [&](float x0, float x1) { DrawTexQuad(x0, 0, x1, 64, 0, 0, 2, 1); };
    quad(0, 16);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    quad(16, 32);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    quad(32, 48);
    // Blending that keeps the target: the quad leaves no trace.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    quad(48, 64);

    const std::vector<DWORD> pixels = ReadBackBuffer();
    // Pixels away from the texel edges: each texel covers four pixels.
    for (const int x : {1, 2, 5, 6, 9, 10, 13, 14}) {
        const DWORD wrapped = (x / 4) % 2 == 0 ? kRed : kGreen;
        EXPECT_EQ(pixels[size_t(5) * 64 + x], wrapped) << x;
        EXPECT_EQ(pixels[size_t(5) * 64 + 16 + x], wrapped) << x;
        EXPECT_EQ(pixels[size_t(5) * 64 + 32 + x], x < 4 ? kRed : kGreen) << x;
        EXPECT_EQ(pixels[size_t(5) * 64 + 48 + x], 0xFF000000u) << x;
    }
    device->SetTexture(0, nullptr);
    pair->Release();
}

TEST_P(SetupReuseTest, TargetsOfTheSameSizeEachGetTheirOwnDraws) {
    IDirect3DTexture9* textures[2] = {};
    IDirect3DSurface9* surfaces[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                        &textures[i], nullptr),
                  D3D_OK);
        textures[i]->GetSurfaceLevel(0, &surfaces[i]);
    }
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    device->SetRenderTarget(0, surfaces[0]);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawColorQuad(0, 0, 8, 16, kRed);
    device->SetRenderTarget(0, surfaces[1]);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawColorQuad(8, 0, 16, 16, kGreen);
    device->SetRenderTarget(0, surfaces[0]);
    DrawColorQuad(0, 8, 16, 16, kBlue);
    device->SetRenderTarget(0, back);

    const std::vector<DWORD> first = ReadSurface(surfaces[0]), second = ReadSurface(surfaces[1]);
    EXPECT_EQ(first[size_t(2) * 16 + 2], kRed);
    EXPECT_EQ(first[size_t(2) * 16 + 12], 0xFF000000u);
    EXPECT_EQ(first[size_t(12) * 16 + 12], kBlue);
    EXPECT_EQ(second[size_t(2) * 16 + 2], 0xFF000000u);
    EXPECT_EQ(second[size_t(2) * 16 + 12], kGreen);
    EXPECT_EQ(second[size_t(12) * 16 + 12], kGreen);
    back->Release();
    for (int i = 0; i < 2; ++i) {
        surfaces[i]->Release();
        textures[i]->Release();
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, SetupReuseTest, ::testing::Values("1", "2"));

class RecordedSetupsTest : public ReuseFixture {
protected:
    void SetUp() override { MakeDevice("2"); }
};

TEST_F(RecordedSetupsTest, OneForDrawsWhoseStatesAreSetBackAndOneMoreForEachRealChange) {
    IDirect3DTexture9* white = Solid(kWhite);
    IDirect3DTexture9* red = Solid(kRed);
    for (int i = 0; i < 20; ++i) {
        device->SetRenderState(D3DRS_LIGHTING, i % 2 == 0);
        DrawModulated(white, red, float(i), float(i + 1));
    }
    EXPECT_EQ(RecordedSetups(), 1);
    device->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    DrawModulated(white, red, 20, 30);
    EXPECT_EQ(RecordedSetups(), 2);
    DrawModulated(white, white, 30, 40);
    EXPECT_EQ(RecordedSetups(), 3);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    DrawModulated(white, white, 40, 50);
    EXPECT_EQ(RecordedSetups(), 4);
    device->SetTexture(0, nullptr);
    red->Release();
    white->Release();
}

} // namespace
