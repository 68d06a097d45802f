// One picture drawn the way the viewer draws it: the shadow pass into a render-target texture,
// the lit two-stage model, the blended floor and the corner preview.

#include "DeviceFixture.h"

namespace {

struct ModelVertex {
    float x, y, z, nx, ny, nz, u, v, shade;
};
static_assert(sizeof(ModelVertex) == 36);

struct FloorVertex {
    float x, y, z, u, v, unused;
};

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

class FrameSequenceTest : public DeviceTest {
protected:
    void SetUp() override {
        CreateDevice(256, 256, D3DFMT_X8R8G8B8, true);
        skin = MakeTexture(1, 1, {0xFF4080C0});
        ramp = MakeTexture(2, 1, {0xFF808080, 0xFFFFFFFF}); // shade below 0.5 halves, above keeps
        ASSERT_EQ(device->CreateTexture(128, 128, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                        &shadow, nullptr),
                  D3D_OK);
        shadow->GetSurfaceLevel(0, &shadowSurface);
        device->GetRenderTarget(0, &savedBackBuffer);

        D3DMATRIX projection{};
        projection._11 = projection._22 = 1.0f;
        projection._33 = 1000.0f / 999.0f;
        projection._34 = 1.0f;
        projection._43 = -1000.0f / 999.0f;
        const D3DMATRIX identity = Identity();
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = {1, 1, 1, 1};
        device->SetMaterial(&material);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {5, 5, 5, 5};
        light.Direction = {0, 0, 1};
        light.Range = 10000.0f;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    }
    void TearDown() override {
        device->SetTexture(0, nullptr);
        device->SetTexture(1, nullptr);
        savedBackBuffer->Release();
        shadowSurface->Release();
        shadow->Release();
        skin->Release();
        ramp->Release();
        DeviceTest::TearDown();
    }

    // The model: one triangle facing the camera at depth 10, shade coordinate 0.75.
    void DrawModel() {
        const ModelVertex v[3] = {{-6, -6, 10, 0, 0, -1, 0.5f, 0.5f, 0.75f},
                                  {0, 6, 10, 0, 0, -1, 0.5f, 0.5f, 0.75f},
                                  {6, -6, 10, 0, 0, -1, 0.5f, 0.5f, 0.75f}};
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetTexture(0, skin);
        device->SetTexture(1, ramp);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetFVF(0xC0212);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ModelVertex)), D3D_OK);
        device->SetTexture(1, nullptr);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }

    void DrawShadowTexture() {
        device->SetRenderTarget(0, shadowSurface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->LightEnable(0, FALSE);
        device->SetTexture(0, nullptr);
        device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF808080);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->BeginScene();
        DrawModel();
        device->EndScene();
        device->SetRenderTarget(0, savedBackBuffer);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    }

    void DrawShadowAndPreview() {
        const float x0 = 256.0f - 128.0f, w = 256.0f;
        const ScreenTexVertex preview[4] = {
            {x0, 0, 0, 1, 0, 0}, {w, 0, 0, 1, 1, 0}, {w, 128, 0, 1, 1, 1}, {x0, 128, 0, 1, 0, 1}};
        device->SetTexture(0, shadow);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, preview, sizeof(preview[0]));
        // A floor quad behind the model at depth 20, spanning the lower half of the picture.
        const FloorVertex floor[4] = {
            {-20, -20, 20, 0, 0, 0}, {20, -20, 20, 1, 0, 0}, {20, 0, 20, 1, 1, 0}, {-20, 0, 20, 0, 1, 0}};
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, floor, sizeof(floor[0]));
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }

    IDirect3DTexture9* skin = nullptr;
    IDirect3DTexture9* ramp = nullptr;
    IDirect3DTexture9* shadow = nullptr;
    IDirect3DSurface9* shadowSurface = nullptr;
    IDirect3DSurface9* savedBackBuffer = nullptr;
};

TEST_F(FrameSequenceTest, ShadowPassModelFloorAndPreview) {
    for (int frame = 0; frame < 2; ++frame) { // states persist from one picture to the next
        DrawShadowTexture();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF6080A0, 1.0f, 0);
        device->BeginScene();
        DrawModel();
        DrawShadowAndPreview();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    // The shadow texture: without light 0 the model is ambient 0x20, so 0x80 - 0x20 = 0x60, kept by
    // the ramp's white half; white elsewhere.
    const std::vector<DWORD> texels = ReadSurface(shadowSurface);
    EXPECT_EQ(texels[64 * 128 + 64], 0xFF606060u);
    EXPECT_EQ(texels[5 * 128 + 5], 0xFFFFFFFFu);

    const std::vector<DWORD> pixels = ReadBackBuffer();
    auto at = [&](int x, int y) { return pixels[size_t(y) * 256 + x]; };
    // The lit model saturates: the skin colour times the ramp's white.
    EXPECT_EQ(at(128, 128), 0xFF4080C0u);
    // The preview in the top-right corner shows the shadow texture 1:1.
    EXPECT_EQ(at(128 + 64, 64), 0xFF606060u);
    EXPECT_EQ(at(128 + 5, 5), 0xFFFFFFFFu);
    // The floor multiplies the background by the (white) shadow texture far from the model...
    EXPECT_EQ(at(10, 250), 0xFF6080A0u);
    // ...and darkens it where the model's image lies: just below the model (which ends at y 205)
    // the floor maps to the dark middle of the texture, 0x60 of 0xFF.
    EXPECT_EQ(at(128, 215), 0xFF24303Cu);
    EXPECT_EQ(at(250, 10), 0xFFFFFFFFu);
}

} // namespace
