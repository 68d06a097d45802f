// Texture addressing, filtering, mip-level choice and the texel formats the device samples.

#include "DeviceFixture.h"

#include <cstring>

namespace {

class SamplerTest : public DeviceTest {
protected:
    void SetUp() override {
        CreateDevice(16, 16, D3DFMT_A8R8G8B8, false);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    }
    void TearDown() override {
        Bind(nullptr);
        DeviceTest::TearDown();
    }
    void Bind(IDirect3DTexture9* texture) {
        device->SetTexture(0, texture);
        if (texture_)
            texture_->Release();
        texture_ = texture;
    }
    // Every pixel of a 4 x 4 quad samples (u, v).
    DWORD SampleAt(float u, float v) {
        ClearTo(0x00000000);
        DrawTexQuad(0, 0, 4, 4, u, v, u, v);
        return Pixel(1, 1);
    }
    void Address(DWORD mode) { device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode); }

    IDirect3DTexture9* texture_ = nullptr;
};

constexpr DWORD T0 = 0xFF100000, T1 = 0xFF200000, T2 = 0xFF300000, T3 = 0xFF400000;

TEST_F(SamplerTest, PointSamplingAtTheEdgeWraps) {
    Bind(MakeTexture(4, 1, {T0, T1, T2, T3}));
    EXPECT_EQ(SampleAt(1.0f, 0.5f), T0); // u = 1.0 wraps to texel 0
    EXPECT_EQ(SampleAt(0.999f, 0.5f), T3);
    EXPECT_EQ(SampleAt(-0.25f, 0.5f), T3);
    EXPECT_EQ(SampleAt(0.5f, 0.5f), T2);
    EXPECT_EQ(SampleAt(0.25f, 0.5f), T1); // exactly on the texel edge: the right-hand texel
}

TEST_F(SamplerTest, AddressModes) {
    Bind(MakeTexture(4, 1, {T0, T1, T2, T3}));
    Address(D3DTADDRESS_CLAMP);
    EXPECT_EQ(SampleAt(1.0f, 0.5f), T3);
    EXPECT_EQ(SampleAt(-0.5f, 0.5f), T0);
    Address(D3DTADDRESS_MIRROR);
    EXPECT_EQ(SampleAt(1.125f, 0.5f), T3);
    EXPECT_EQ(SampleAt(1.375f, 0.5f), T2);
    EXPECT_EQ(SampleAt(-0.125f, 0.5f), T0);
    Address(D3DTADDRESS_BORDER);
    device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF00FF00);
    EXPECT_EQ(SampleAt(1.0f, 0.5f), 0xFF00FF00u);
    EXPECT_EQ(SampleAt(0.5f, 0.5f), T2);
    Address(D3DTADDRESS_MIRRORONCE);
    EXPECT_EQ(SampleAt(-0.375f, 0.5f), T1);
    EXPECT_EQ(SampleAt(1.5f, 0.5f), T3);
}

TEST_F(SamplerTest, LinearFilteringBlendsAtHalfTexelOffsets) {
    Bind(MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF}));
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    EXPECT_EQ(SampleAt(0.25f, 0.5f), 0xFF000000u); // texel 0's centre
    EXPECT_EQ(SampleAt(0.75f, 0.5f), 0xFFFFFFFFu);
    EXPECT_EQ(SampleAt(0.5f, 0.5f), 0xFF808080u);
    EXPECT_EQ(SampleAt(0.0f, 0.5f), 0xFF808080u); // wraps to the other side
    Address(D3DTADDRESS_CLAMP);
    EXPECT_EQ(SampleAt(0.0f, 0.5f), 0xFF000000u);
}

TEST_F(SamplerTest, MipLevelFollowsTheFootprint) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    const DWORD colors[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (UINT level = 0; level < 3; ++level) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const UINT size = 4 >> level;
        for (UINT y = 0; y < size; ++y)
            for (UINT x = 0; x < size; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                    colors[level];
        texture->UnlockRect(level);
    }
    Bind(texture);
    auto drawn = [&](float size) {
        ClearTo(0);
        DrawTexQuad(0, 0, size, size);
        return Pixel(0, 0);
    };
    EXPECT_EQ(drawn(1), 0xFFFF0000u); // no mip filter: always level 0
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    EXPECT_EQ(drawn(4), 0xFFFF0000u);
    EXPECT_EQ(drawn(2), 0xFF00FF00u);
    EXPECT_EQ(drawn(1), 0xFF0000FFu);
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
    EXPECT_EQ(drawn(4), 0xFF00FF00u);
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    EXPECT_EQ(texture->SetLOD(2), 0u); // a managed texture's own most detailed level
    EXPECT_EQ(drawn(4), 0xFF0000FFu);
    EXPECT_EQ(texture->GetLOD(), 2u);
}

struct FormatCase {
    D3DFORMAT format;
    std::uint64_t raw[2]; // the texel's bytes, little-endian
    DWORD expected;
};

TEST_F(SamplerTest, EveryTextureFormatDecodesExactly) {
    const float one = 1.0f, half = 0.5f, zero = 0.0f;
    DWORD f1, fh, f0;
    std::memcpy(&f1, &one, 4);
    std::memcpy(&fh, &half, 4);
    std::memcpy(&f0, &zero, 4);
    const FormatCase cases[] = {
        {D3DFMT_A8R8G8B8, {0x80123456}, 0x80123456},
        {D3DFMT_X8R8G8B8, {0x00123456}, 0xFF123456},
        {D3DFMT_R5G6B5, {0xF800}, 0xFFFF0000},
        {D3DFMT_R5G6B5, {0x0400}, 0xFF008200}, // green 32 of 63
        {D3DFMT_X1R5G5B5, {0x03E0}, 0xFF00FF00},
        {D3DFMT_A1R5G5B5, {0x001F}, 0x000000FF},
        {D3DFMT_A4R4G4B4, {0x8F00}, 0x88FF0000},
        {D3DFMT_X4R4G4B4, {0x00F0}, 0xFF00FF00},
        {D3DFMT_R3G3B2, {0xE0}, 0xFFFF0000},
        {D3DFMT_R3G3B2, {0x03}, 0xFF0000FF},
        {D3DFMT_A8R3G3B2, {0x801C}, 0x8000FF00},
        {D3DFMT_A8, {0x80}, 0x80000000},
        {D3DFMT_L8, {0x40}, 0xFF404040},
        {D3DFMT_A8L8, {0x8040}, 0x80404040},
        {D3DFMT_L16, {0x8080}, 0xFF808080},
        {D3DFMT_G16R16, {0x0000FFFF}, 0xFFFF00FF},
        {D3DFMT_A2R10G10B10, {0xFFF00000}, 0xFFFF0000},
        {D3DFMT_A2B10G10R10, {0x800003FF}, 0xAAFF0000},
        {D3DFMT_A8B8G8R8, {0x44332211}, 0x44112233},
        {D3DFMT_X8B8G8R8, {0x00332211}, 0xFF112233},
        {D3DFMT_A16B16G16R16, {0xFFFF80000000FFFFull}, 0xFFFF0080},
        {D3DFMT_A32B32G32R32F, {std::uint64_t(fh) << 32 | f1, std::uint64_t(f1) << 32 | f0}, 0xFFFF8000},
    };
    for (const FormatCase& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK)
            << c.format;
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, c.format),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        const size_t bytes = c.format == D3DFMT_A32B32G32R32F ? 16 : c.format == D3DFMT_A16B16G16R16 ? 8 : 4;
        std::memcpy(locked.pBits, c.raw, std::min<size_t>(bytes, sizeof(c.raw)));
        texture->UnlockRect(0);
        Bind(texture);
        EXPECT_EQ(SampleAt(0.5f, 0.5f), c.expected) << "format " << c.format;
    }
}

TEST_F(SamplerTest, RelockingUpdatesWhatIsSampled) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    Bind(texture);
    for (BYTE value : {BYTE(0x10), BYTE(0x90)}) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        *static_cast<BYTE*>(locked.pBits) = value;
        texture->UnlockRect(0);
        EXPECT_EQ(SampleAt(0.5f, 0.5f), 0xFF000000u | value * 0x010101u);
    }
}

} // namespace

namespace {

struct CubeVertex {
    float x, y, z, rhw;
    float u, v, w;
};

TEST_F(SamplerTest, CubeTexturesPickTheFaceOfTheDirection) {
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
    const DWORD faces[6] = {0xFF110000, 0xFF220000, 0xFF330000, 0xFF440000, 0xFF550000, 0xFF660000};
    for (UINT face = 0; face < 6; ++face) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(cube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), 0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                    faces[face];
        cube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), 0);
    }
    device->SetTexture(0, cube);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0));
    const float directions[6][3] = {{1, 0.2f, 0.1f}, {-1, 0, 0.3f}, {0.1f, 1, 0},
                                    {0, -1, 0.2f},   {0, 0.3f, 1},  {0.2f, 0, -1}};
    for (int face = 0; face < 6; ++face) {
        const float* d = directions[face];
        const CubeVertex v[4] = {{0, 0, 0.5f, 1, d[0], d[1], d[2]},
                                 {4, 0, 0.5f, 1, d[0], d[1], d[2]},
                                 {4, 4, 0.5f, 1, d[0], d[1], d[2]},
                                 {0, 4, 0.5f, 1, d[0], d[1], d[2]}};
        ClearTo(0);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(v[0])), D3D_OK);
        EXPECT_EQ(Pixel(1, 1), faces[face]) << "face " << face;
    }
    device->SetTexture(0, nullptr);
    cube->Release();
}

TEST_F(SamplerTest, VolumeTexturesReadTheSliceOfW) {
    IDirect3DVolumeTexture9* volume = nullptr;
    ASSERT_EQ(device->CreateVolumeTexture(1, 1, 2, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED, &volume, nullptr),
              D3D_OK);
    D3DLOCKED_BOX box{};
    ASSERT_EQ(volume->LockBox(0, &box, nullptr, 0), D3D_OK);
    static_cast<BYTE*>(box.pBits)[0] = 0x20;
    static_cast<BYTE*>(box.pBits)[box.SlicePitch] = 0xE0;
    volume->UnlockBox(0);
    device->SetTexture(0, volume);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0));
    for (float w : {0.25f, 0.75f}) {
        const CubeVertex v[4] = {{0, 0, 0.5f, 1, 0.5f, 0.5f, w},
                                 {4, 0, 0.5f, 1, 0.5f, 0.5f, w},
                                 {4, 4, 0.5f, 1, 0.5f, 0.5f, w},
                                 {0, 4, 0.5f, 1, 0.5f, 0.5f, w}};
        ClearTo(0);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(v[0])), D3D_OK);
        EXPECT_EQ(Pixel(1, 1), w < 0.5f ? 0xFF202020u : 0xFFE0E0E0u);
    }
    device->SetTexture(0, nullptr);
    volume->Release();
}

} // namespace
