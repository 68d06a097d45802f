// Which pixels triangles, lines and points cover.

#include "DeviceFixture.h"

namespace {

class RasterizationTest : public DeviceTest {
protected:
    // Additive blending of 0x10 per draw: a pixel's red channel counts how often it was drawn.
    void CountCoverage() {
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    static int Count(DWORD pixel) { return int((pixel >> 16) & 0xFF) / 0x10; }
};

TEST_F(RasterizationTest, SharedEdgesDrawEveryPixelExactlyOnce) {
    ClearTo(0xFF000000);
    CountCoverage();
    // A fan of triangles around an off-centre point with edges at awkward slopes and on pixel centres.
    const float cx = 30.3f, cy = 27.6f;
    const float ring[][2] = {{5, 5}, {32, 2}, {58.5f, 7}, {60, 33}, {55, 60}, {31, 58}, {4, 61}, {2, 30.5f}};
    for (int i = 0; i < 8; ++i) {
        const float* a = ring[i];
        const float* b = ring[(i + 1) % 8];
        const ScreenColorVertex v[3] = {{cx, cy, 0.5f, 1, 0xFF100000},
                                        {a[0], a[1], 0.5f, 1, 0xFF100000},
                                        {b[0], b[1], 0.5f, 1, 0xFF100000}};
        device->SetFVF(kFvfScreenColor);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(v[0])), D3D_OK);
    }
    const std::vector<DWORD> pixels = ReadBackBuffer();
    int twice = 0, inside = 0;
    for (DWORD p : pixels) {
        twice += Count(p) > 1;
        inside += Count(p) == 1;
    }
    EXPECT_EQ(twice, 0);
    // The centre region is fully covered: no pixel missed between neighbours.
    for (int y = 12; y < 50; ++y)
        for (int x = 12; x < 50; ++x)
            EXPECT_EQ(Count(pixels[size_t(y) * 64 + x]), 1) << x << "," << y;
    EXPECT_GT(inside, 2500);
}

TEST_F(RasterizationTest, TopLeftRuleOnPixelCentres) {
    ClearTo(0xFF000000);
    CountCoverage();
    // A quad with corners exactly on pixel centres covers x 10..19 and y 10..19: the left and top
    // edges are in, the right and bottom edges are out.
    DrawColorQuad(10, 10, 20, 20, 0xFF100000);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (int y = 8; y < 22; ++y)
        for (int x = 8; x < 22; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            EXPECT_EQ(Count(pixels[size_t(y) * 64 + x]), inside ? 1 : 0) << x << "," << y;
        }
}

TEST_F(RasterizationTest, CounterClockwiseTrianglesAreCulledByDefault) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const ScreenColorVertex clockwise[3] = {
        {4, 4, 0.5f, 1, 0xFFFF0000}, {20, 4, 0.5f, 1, 0xFFFF0000}, {4, 20, 0.5f, 1, 0xFFFF0000}};
    const ScreenColorVertex counter[3] = {
        {40, 4, 0.5f, 1, 0xFF00FF00}, {40, 20, 0.5f, 1, 0xFF00FF00}, {56, 4, 0.5f, 1, 0xFF00FF00}};
    device->SetFVF(kFvfScreenColor);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(clockwise[0]));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(counter[0]));
    EXPECT_EQ(Pixel(6, 6), 0xFFFF0000u);
    EXPECT_EQ(Pixel(42, 6), 0xFF000000u);

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(counter[0]));
    EXPECT_EQ(Pixel(42, 6), 0xFF00FF00u);
    ClearTo(0xFF000000);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(clockwise[0]));
    EXPECT_EQ(Pixel(6, 6), 0xFF000000u);
}

TEST_F(RasterizationTest, ScreenQuadSamplesEachTexelOnce) {
    // An 8 x 8 texture with a different colour per texel, drawn 1:1 at (16, 8).
    std::vector<DWORD> texels(64);
    for (int i = 0; i < 64; ++i)
        texels[i] = 0xFF000000u | DWORD(i * 4) << 16 | DWORD(255 - i * 4);
    IDirect3DTexture9* texture = MakeTexture(8, 8, texels);
    ClearTo(0xFF000000);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawTexQuad(16, 8, 24, 16);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixels[size_t(8 + y) * 64 + 16 + x], texels[size_t(y) * 8 + x]) << x << "," << y;
    EXPECT_EQ(pixels[size_t(8) * 64 + 24], 0xFF000000u);
    EXPECT_EQ(pixels[size_t(16) * 64 + 16], 0xFF000000u);
    EXPECT_EQ(pixels[size_t(7) * 64 + 16], 0xFF000000u);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(RasterizationTest, LinesFollowTheDiamondRule) {
    ClearTo(0xFF000000);
    CountCoverage();
    device->SetRenderState(D3DRS_LASTPIXEL, FALSE);
    const ScreenColorVertex strip[3] = {
        {2, 2, 0.5f, 1, 0xFF100000}, {12, 2, 0.5f, 1, 0xFF100000}, {12, 9, 0.5f, 1, 0xFF100000}};
    device->SetFVF(kFvfScreenColor);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_LINESTRIP, 2, strip, sizeof(strip[0])), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (int x = 2; x < 12; ++x)
        EXPECT_EQ(Count(pixels[2 * 64 + x]), 1) << x;
    for (int y = 2; y < 9; ++y)
        EXPECT_EQ(Count(pixels[size_t(y) * 64 + 12]), 1) << y; // the shared corner once
    EXPECT_EQ(Count(pixels[9 * 64 + 12]), 0);                  // last pixel left out
    EXPECT_EQ(Count(pixels[2 * 64 + 1]), 0);
}

TEST_F(RasterizationTest, LastPixelStateDrawsTheEndPoint) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const ScreenColorVertex line[2] = {{2, 5, 0.5f, 1, 0xFFFFFFFF}, {8, 5, 0.5f, 1, 0xFFFFFFFF}};
    device->SetFVF(kFvfScreenColor);
    device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(line[0]));
    EXPECT_EQ(Pixel(8, 5), 0xFFFFFFFFu); // D3DRS_LASTPIXEL is TRUE by default
    EXPECT_EQ(Pixel(9, 5), 0xFF000000u);
}

TEST_F(RasterizationTest, StripsKeepOneWindingAndFlatShadingTakesTheFirstVertex) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    // A strip of two triangles: the second is counter-clockwise as listed but is drawn with its
    // first two vertices swapped, so neither is culled.
    const ScreenColorVertex strip[4] = {{0, 0, 0.5f, 1, 0xFFFF0000},
                                        {20, 0, 0.5f, 1, 0xFFFF0000},
                                        {0, 20, 0.5f, 1, 0xFFFF0000},
                                        {20, 20, 0.5f, 1, 0xFFFF0000}};
    device->SetFVF(kFvfScreenColor);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(strip[0])), D3D_OK);
    EXPECT_EQ(Pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(17, 17), 0xFFFF0000u);

    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    const ScreenColorVertex mixed[3] = {
        {0, 0, 0.5f, 1, 0xFF00FF00}, {40, 0, 0.5f, 1, 0xFFFF0000}, {0, 40, 0.5f, 1, 0xFF0000FF}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, mixed, sizeof(mixed[0])), D3D_OK);
    EXPECT_EQ(Pixel(25, 5), 0xFF00FF00u);
    EXPECT_EQ(Pixel(5, 25), 0xFF00FF00u);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, mixed, sizeof(mixed[0])), D3D_OK);
    EXPECT_GT((Pixel(30, 5) >> 16) & 0xFF, 0x80u); // mostly the second vertex's red
}

TEST_F(RasterizationTest, PointsAndWireframe) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const ScreenColorVertex point = {30.4f, 20.6f, 0.5f, 1, 0xFF00FF00};
    device->SetFVF(kFvfScreenColor);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(point)), D3D_OK);
    EXPECT_EQ(Pixel(30, 21), 0xFF00FF00u);

    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    DrawColorQuad(10, 10, 30, 30, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(15, 10), 0xFFFFFFFFu); // on the top edge
    EXPECT_EQ(Pixel(20, 20), 0xFFFFFFFFu); // on the diagonal
    EXPECT_EQ(Pixel(25, 15), 0xFF000000u); // inside, not filled
}

TEST_F(RasterizationTest, ViewportAndScissorLimitDrawing) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const D3DVIEWPORT9 viewport = {8, 8, 16, 16, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    DrawColorQuad(0, 0, 64, 64, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(8, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(23, 23), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(24, 24), 0xFF000000u);
    EXPECT_EQ(Pixel(7, 7), 0xFF000000u);

    const D3DVIEWPORT9 tooBig = {60, 0, 16, 16, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooBig), D3DERR_INVALIDCALL);
}

} // namespace
