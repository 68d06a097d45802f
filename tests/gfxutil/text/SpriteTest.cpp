// The sprite: quads drawn between Begin and End with the texture modulated by the colour, blended
// by alpha, and every device state it touched put back afterwards.

#include "FontTestSupport.h"

#include <array>

namespace fonttest {
namespace {

class SpriteTest : public HeadlessDeviceTest {
protected:
    void SetUp() override {
        HeadlessDeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
        Clear();
    }
    void TearDown() override {
        if (sprite)
            sprite->Release();
        HeadlessDeviceTest::TearDown();
    }

    // A managed texture of one colour.
    IDirect3DTexture9* SolidTexture(UINT side, DWORD texel) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(
            device->CreateTexture(side, side, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < side; ++y)
            for (UINT x = 0; x < side; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) +
                                         std::size_t(y) * locked.Pitch)[x] = texel;
        texture->UnlockRect(0);
        return texture;
    }

    DWORD PixelAt(const std::vector<DWORD>& pixels, int x, int y) {
        return pixels[std::size_t(y) * kWidth + x];
    }

    ID3DXSprite* sprite = nullptr;
};

TEST_F(SpriteTest, DrawsTextureModulatedByColourExactlyOverItsRectangle) {
    IDirect3DTexture9* texture = SolidTexture(8, 0xFFFFFFFFu);
    ASSERT_EQ(sprite->Begin(0), D3D_OK);
    const D3DXVECTOR3 position(10, 20, 0);
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, &position, 0xFF00FF00u), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(CountPixels(pixels, 10, 20, 18, 28, [](DWORD p) { return p == 0x00FF00u; }), 64);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), int(kHeight), NotBlack), 64);
    texture->Release();
}

TEST_F(SpriteTest, SourceRectangleCentreAndTransformPlaceTheQuad) {
    IDirect3DTexture9* texture = SolidTexture(16, 0xFFFF0000u);
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, 2, 2, 1);
    ASSERT_EQ(sprite->SetTransform(&scale), D3D_OK);
    ASSERT_EQ(sprite->Begin(0), D3D_OK);
    const RECT src{0, 0, 4, 4};
    const D3DXVECTOR3 center(2, 2, 0);
    const D3DXVECTOR3 position(20, 10, 0);
    ASSERT_EQ(sprite->Draw(texture, &src, &center, &position, 0xFFFFFFFFu), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    // (corner - centre + position) scaled by two: x 36..44, y 16..24.
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(CountPixels(pixels, 36, 16, 44, 24, [](DWORD p) { return p == 0xFF0000u; }), 64);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), int(kHeight), NotBlack), 64);
    texture->Release();
}

TEST_F(SpriteTest, ObjectSpaceQuadsGoThroughTheDeviceTransforms) {
    // With identity world, view and projection, a quad from (0, 0) to (1, 1) covers the top-right
    // quarter of the picture.
    IDirect3DTexture9* texture = SolidTexture(4, 0xFF0000FFu);
    D3DXMATRIX quarter;
    D3DXMatrixScaling(&quarter, 0.25f, 0.25f, 1);
    ASSERT_EQ(sprite->SetTransform(&quarter), D3D_OK);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_OBJECTSPACE), D3D_OK);
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    const int half = int(kWidth) / 2, middle = int(kHeight) / 2;
    EXPECT_EQ(
        CountPixels(pixels, half + 1, 1, int(kWidth) - 1, middle - 1, [](DWORD p) { return p == 0xFFu; }),
        (half - 2) * (middle - 2));
    EXPECT_EQ(CountPixels(pixels, 0, 0, half - 1, int(kHeight), NotBlack), 0);
    EXPECT_EQ(CountPixels(pixels, 0, middle + 1, int(kWidth), int(kHeight), NotBlack), 0);
    texture->Release();
}

TEST_F(SpriteTest, AlphaBlendMixesWithWhatIsThere) {
    Clear(0xFF0000FFu);
    IDirect3DTexture9* texture = SolidTexture(4, 0x80FFFFFFu);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFF0000u), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    const DWORD p = PixelAt(ReadBackBuffer(), 1, 1);
    EXPECT_NEAR(int((p >> 16) & 0xFF), 0x80, 2);
    EXPECT_EQ((p >> 8) & 0xFF, 0u);
    EXPECT_NEAR(int(p & 0xFF), 0x7F, 2);
    texture->Release();
}

TEST_F(SpriteTest, NothingIsDrawnBeforeEndOrFlush) {
    IDirect3DTexture9* texture = SolidTexture(4, 0xFFFFFFFFu);
    ASSERT_EQ(sprite->Begin(0), D3D_OK);
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3D_OK);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, 8, 8, NotBlack), 0);
    ASSERT_EQ(sprite->Flush(), D3D_OK);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, 8, 8, NotBlack), 16);
    ASSERT_EQ(sprite->End(), D3D_OK);
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 1u) << "the sprite holds no reference once drawn";
    texture->Release();
}

TEST_F(SpriteTest, CallsOutOfOrderAreRejected) {
    IDirect3DTexture9* texture = SolidTexture(4, 0xFFFFFFFFu);
    EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->Flush(), D3DERR_INVALIDCALL);
    ASSERT_EQ(sprite->Begin(0), D3D_OK);
    EXPECT_EQ(sprite->Begin(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->End(), D3D_OK);
    EXPECT_EQ(sprite->SetTransform(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->GetTransform(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSprite(nullptr, &sprite), D3DERR_INVALIDCALL);
    texture->Release();
}

struct DeviceStates {
    std::vector<DWORD> render;
    std::vector<DWORD> stages;
    std::vector<DWORD> samplers;
    DWORD fvf = 0;
    IDirect3DBaseTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;

    bool operator==(const DeviceStates&) const = default;
};

DeviceStates ReadStates(IDirect3DDevice9* device) {
    DeviceStates s;
    for (DWORD state = 0; state < D3DRS_COUNT; ++state) {
        DWORD value = 0xDEADBEEF;
        if (SUCCEEDED(device->GetRenderState(D3DRENDERSTATETYPE(state), &value)))
            s.render.push_back(value);
    }
    for (DWORD stage = 0; stage < 8; ++stage)
        for (DWORD type = 0; type < D3DTSS_COUNT; ++type) {
            DWORD value = 0xDEADBEEF;
            if (SUCCEEDED(device->GetTextureStageState(stage, D3DTEXTURESTAGESTATETYPE(type), &value)))
                s.stages.push_back(value);
        }
    for (DWORD sampler = 0; sampler < 8; ++sampler)
        for (DWORD type = 0; type < D3DSAMP_COUNT; ++type) {
            DWORD value = 0xDEADBEEF;
            if (SUCCEEDED(device->GetSamplerState(sampler, D3DSAMPLERSTATETYPE(type), &value)))
                s.samplers.push_back(value);
        }
    device->GetFVF(&s.fvf);
    device->GetTexture(0, &s.texture);
    if (s.texture)
        s.texture->Release();
    device->GetStreamSource(0, &s.stream, &s.offset, &s.stride);
    if (s.stream)
        s.stream->Release();
    return s;
}

TEST_F(SpriteTest, EndRestoresEveryStateItChanged) {
    // States a scene leaves behind, far from what the sprite needs.
    IDirect3DTexture9* sceneTexture = SolidTexture(4, 0xFF123456u);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(256, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTexture(0, sceneTexture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    device->SetStreamSource(0, buffer, 0, 12);
    const DeviceStates before = ReadStates(device);

    IDirect3DTexture9* texture = SolidTexture(4, 0xFFFFFFFFu);
    for (DWORD flags : {DWORD(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE), DWORD(0),
                        DWORD(D3DXSPRITE_OBJECTSPACE), DWORD(D3DXSPRITE_DONOTMODIFY_RENDERSTATE)}) {
        ASSERT_EQ(sprite->Begin(flags), D3D_OK);
        ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3D_OK);
        ASSERT_EQ(sprite->End(), D3D_OK);
        EXPECT_TRUE(ReadStates(device) == before) << "flags " << flags;
    }
    EXPECT_NE(CountPixels(ReadBackBuffer(), 0, 0, 4, 4, NotBlack), 0) << "the sprite did draw";

    ASSERT_EQ(sprite->Begin(D3DXSPRITE_DONOTSAVESTATE | D3DXSPRITE_ALPHABLEND), D3D_OK);
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    DWORD blend = 0;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, DWORD(TRUE)) << "asked not to save, the sprite's states stay";

    texture->Release();
    sceneTexture->Release();
    buffer->Release();
}

TEST_F(SpriteTest, SortTextureKeepsFirstUseOrderOfTextures) {
    IDirect3DTexture9* red = SolidTexture(4, 0xFFFF0000u);
    IDirect3DTexture9* green = SolidTexture(4, 0xFF00FF00u);
    const D3DXVECTOR3 a(0, 0, 0), b(2, 0, 0), c(4, 0, 0);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_SORT_TEXTURE), D3D_OK);
    sprite->Draw(red, nullptr, nullptr, &a, 0xFFFFFFFFu);
    sprite->Draw(green, nullptr, nullptr, &b, 0xFFFFFFFFu);
    sprite->Draw(red, nullptr, nullptr, &c, 0xFFFFFFFFu);
    ASSERT_EQ(sprite->End(), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    // Both red quads go first, then the green one over them.
    EXPECT_EQ(PixelAt(pixels, 1, 1), 0xFF0000u);
    EXPECT_EQ(PixelAt(pixels, 3, 1), 0x00FF00u);
    EXPECT_EQ(PixelAt(pixels, 5, 1), 0x00FF00u);
    EXPECT_EQ(PixelAt(pixels, 7, 1), 0xFF0000u);
    red->Release();
    green->Release();
}

} // namespace
} // namespace fonttest
