// Transformation, clipping, perspective-correct interpolation and fixed-function lighting.

#include "DeviceFixture.h"

#include <cmath>

namespace {

struct Vertex {
    float x, y, z;
};
struct NormalVertex {
    float x, y, z, nx, ny, nz;
};
struct ColorVertex {
    float x, y, z;
    D3DCOLOR color;
};
struct TexVertex {
    float x, y, z, u, v;
};

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Left-handed perspective with a 90 degree field of view, aspect 1.
D3DMATRIX Perspective(float zn, float zf) {
    D3DMATRIX m{};
    m._11 = 1.0f;
    m._22 = 1.0f;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

class TransformLightingTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        const D3DMATRIX identity = Identity(), projection = Perspective(1.0f, 100.0f);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    void SetupLight(float dx, float dy, float dz, float diffuse) {
        D3DMATERIAL9 material{};
        material.Diffuse = {1, 1, 1, 1};
        material.Ambient = {1, 1, 1, 1};
        device->SetMaterial(&material);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {diffuse, diffuse, diffuse, diffuse};
        light.Direction = {dx, dy, dz};
        light.Range = 10000.0f;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }

    // A triangle facing the camera at depth 5 with normal `n`, covering the screen centre.
    void DrawLitTriangle(float nx, float ny, float nz) {
        const NormalVertex v[3] = {{-4, -4, 5, nx, ny, nz}, {0, 4, 5, nx, ny, nz}, {4, -4, 5, nx, ny, nz}};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    }
};

TEST_F(TransformLightingTest, NearPlaneClipsGeometryBehindTheEye) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // A floor triangle at y = -1 reaching behind the camera (z = -5) and far ahead (z = 50).
    const ColorVertex floor[3] = {
        {-10, -1, -5, 0xFFFF0000}, {10, -1, -5, 0xFFFF0000}, {0, -1, 50, 0xFFFF0000}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, floor, sizeof(floor[0])), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[size_t(40) * 64 + 32], 0xFFFF0000u); // floor at depth 4
    EXPECT_EQ(pixels[size_t(63) * 64 + 32], 0xFFFF0000u); // floor at the near plane
    EXPECT_EQ(pixels[size_t(20) * 64 + 32], 0xFF000000u); // above the horizon
    EXPECT_EQ(pixels[size_t(5) * 64 + 32], 0xFF000000u);
}

TEST_F(TransformLightingTest, TrianglesClippedAtTheNearPlaneStillShareTheirEdge) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    // A floor quad split along a diagonal that runs from behind the eye to far ahead.
    const ColorVertex quad[4] = {{-10.3f, -1, -5, 0xFF100000},
                                 {10.1f, -1, -5.5f, 0xFF100000},
                                 {9.7f, -1, 50, 0xFF100000},
                                 {-10.2f, -1, 47, 0xFF100000}};
    const ColorVertex first[3] = {quad[0], quad[1], quad[2]};
    const ColorVertex second[3] = {quad[0], quad[2], quad[3]};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, first, sizeof(first[0])), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, second, sizeof(second[0])), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (int y = 40; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(pixels[size_t(y) * 64 + x], 0xFF100000u) << x << "," << y;
}

TEST_F(TransformLightingTest, FarPlaneClipsAndDepthIsWithinRange) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    const ColorVertex beyond[3] = {
        {-100, -100, 150, 0xFF00FF00}, {0, 100, 150, 0xFF00FF00}, {100, -100, 150, 0xFF00FF00}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, beyond, sizeof(beyond[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFF000000u);
    // A wall at x = -40 running from depth 50 (screen x 6.4) to 150 (x 23.5): the far plane at
    // 100 (x 19.2) cuts it.
    const ColorVertex wall[4] = {{-40, -40, 50, 0xFF00FF00},
                                 {-40, 40, 50, 0xFF00FF00},
                                 {-40, 40, 150, 0xFF00FF00},
                                 {-40, -40, 150, 0xFF00FF00}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, wall, sizeof(wall[0])), D3D_OK);
    EXPECT_EQ(Pixel(10, 32), 0xFF00FF00u);
    EXPECT_EQ(Pixel(19, 32), 0xFF00FF00u);
    EXPECT_EQ(Pixel(21, 32), 0xFF000000u);
}

TEST_F(TransformLightingTest, TextureCoordinatesArePerspectiveCorrect) {
    // Two texels: u < 0.5 red, u >= 0.5 green, on a wall from (-2, z = 2) to (2, z = 6).
    IDirect3DTexture9* texture = MakeTexture(2, 1, {0xFFFF0000, 0xFF00FF00});
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ClearTo(0xFF000000);
    const TexVertex wall[4] = {{-2, -1, 2, 0, 0}, {2, -1, 6, 1, 0}, {2, 1, 6, 1, 1}, {-2, 1, 2, 0, 1}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, wall, sizeof(wall[0])), D3D_OK);
    // u = 0.5 lies at x = 0, z = 4, which is the screen centre (32); screen-linear interpolation
    // would put it near x = 21.
    EXPECT_EQ(Pixel(25, 32), 0xFFFF0000u);
    EXPECT_EQ(Pixel(30, 32), 0xFFFF0000u);
    EXPECT_EQ(Pixel(34, 32), 0xFF00FF00u);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(TransformLightingTest, StrongLightSaturatesAtCosineOneFifth) {
    device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    // The normal faces the camera (0, 0, -1); the light arrives at cosine 0.2 to it.
    SetupLight(std::sqrt(0.96f), 0.0f, 0.2f, 5.0f);
    ClearTo(0xFF000000);
    DrawLitTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(32, 32), 0xFFFFFFFFu);
}

TEST_F(TransformLightingTest, SurfaceFacingAwayGetsOnlyTheAmbient) {
    device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    SetupLight(0.0f, 0.0f, 1.0f, 5.0f);
    ClearTo(0xFF000000);
    DrawLitTriangle(0, 0, 1); // normal points along the light's direction: away from it
    EXPECT_EQ(Pixel(32, 32), 0xFF202020u);
}

TEST_F(TransformLightingTest, DiffuseScalesWithTheCosine) {
    device->SetRenderState(D3DRS_AMBIENT, 0);
    SetupLight(std::sqrt(1.0f - 0.12f * 0.12f), 0.0f, 0.12f, 5.0f);
    ClearTo(0xFF000000);
    DrawLitTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(32, 32), 0xFF999999u); // 5 x 0.12 = 0.6 = 153
}

TEST_F(TransformLightingTest, ViewTransformTurnsTheLight) {
    device->SetRenderState(D3DRS_AMBIENT, 0);
    // The light shines along +x in the world; the view turns the world by 90 degrees about y, so
    // in camera space it shines along +z, straight at a surface facing the camera.
    D3DMATRIX view{};
    view._13 = -1.0f;
    view._22 = 1.0f;
    view._31 = 1.0f;
    view._44 = 1.0f;
    device->SetTransform(D3DTS_VIEW, &view);
    SetupLight(1.0f, 0.0f, 0.0f, 1.0f);
    ClearTo(0xFF000000);
    // Camera-space triangle at depth 5 is world-space x = -5 (view maps world x to -z... inverse).
    const NormalVertex v[3] = {{-5, -4, 4, 1, 0, 0}, {-5, 4, 0, 1, 0, 0}, {-5, -4, -4, 1, 0, 0}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFF000000u); // the normal (1, 0, 0) faces along the light: dark
    const NormalVertex w[3] = {{-5, -4, 4, -1, 0, 0}, {-5, 4, 0, -1, 0, 0}, {-5, -4, -4, -1, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, w, sizeof(w[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFFFFFFFFu);
}

TEST_F(TransformLightingTest, SpecularHighlightIsAddedWhenEnabled) {
    device->SetRenderState(D3DRS_AMBIENT, 0);
    D3DMATERIAL9 material{};
    material.Diffuse = {0.25f, 0.25f, 0.25f, 1};
    material.Specular = {1, 1, 1, 1};
    material.Power = 8.0f;
    device->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Specular = {1, 1, 1, 1};
    light.Direction = {0, 0, 1}; // straight at the surface, along the view
    light.Range = 1000.0f;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    ClearTo(0xFF000000);
    DrawLitTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(32, 32), 0xFF404040u); // diffuse 0.25 only
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    DrawLitTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(32, 32), 0xFFFFFFFFu); // plus a full highlight
}

TEST_F(TransformLightingTest, UnlitVertexWithoutColourIsWhite) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ClearTo(0xFF000000);
    const Vertex v[3] = {{-4, -4, 5}, {0, 4, 5}, {4, -4, 5}};
    device->SetFVF(D3DFVF_XYZ);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFFFFFFFFu);
}

TEST_F(TransformLightingTest, ColorVertexTakesTheDiffuseMaterialFromTheVertex) {
    device->SetRenderState(D3DRS_AMBIENT, 0);
    SetupLight(0.0f, 0.0f, 1.0f, 1.0f);
    ClearTo(0xFF000000);
    struct LitColorVertex {
        float x, y, z, nx, ny, nz;
        D3DCOLOR color;
    };
    const LitColorVertex v[3] = {
        {-4, -4, 5, 0, 0, -1, 0xFFFF8000}, {0, 4, 5, 0, 0, -1, 0xFFFF8000}, {4, -4, 5, 0, 0, -1, 0xFFFF8000}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFFFF8000u);
    device->SetRenderState(D3DRS_COLORVERTEX, FALSE); // the material's white instead
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    EXPECT_EQ(Pixel(32, 32), 0xFFFFFFFFu);
}

TEST_F(TransformLightingTest, PointLightRangeAndAttenuation) {
    device->SetRenderState(D3DRS_AMBIENT, 0);
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -95}; // far enough for the light to fall almost straight on every vertex
    light.Range = 200.0f;
    light.Attenuation0 = 2.0f; // half strength
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    ClearTo(0xFF000000);
    DrawLitTriangle(0, 0, -1);
    const DWORD lit = Pixel(32, 32) & 0xFF;
    EXPECT_GE(lit, 126u);
    EXPECT_LE(lit, 128u);
    light.Range = 50.0f; // the triangle is 100 away: out of range
    device->SetLight(0, &light);
    DrawLitTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(32, 32), 0xFF000000u);
}

TEST_F(TransformLightingTest, LightAndMaterialRoundTrip) {
    D3DLIGHT9 light{};
    EXPECT_EQ(device->GetLight(3, &light), D3DERR_INVALIDCALL);
    SetupLight(0, -1, 0, 5.0f);
    ASSERT_EQ(device->GetLight(0, &light), D3D_OK);
    EXPECT_EQ(light.Diffuse.r, 5.0f);
    BOOL enabled = FALSE;
    ASSERT_EQ(device->GetLightEnable(0, &enabled), D3D_OK);
    EXPECT_TRUE(enabled);
    D3DMATRIX m{};
    ASSERT_EQ(device->GetTransform(D3DTS_PROJECTION, &m), D3D_OK);
    EXPECT_EQ(m._34, 1.0f);
}

} // namespace
