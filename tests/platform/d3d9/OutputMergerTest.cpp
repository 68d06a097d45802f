// Blending, alpha test, depth test and colour write mask.

#include "DeviceFixture.h"

namespace {

int Mul(int a, int b) {
    return (a * b + 127) / 255;
}

class OutputMergerTest : public DeviceTest {
protected:
    void SetUp() override {
        CreateDevice(32, 32, D3DFMT_A8R8G8B8, true);
        // Without a texture, stage 0 would take alpha 1 from the white texel; use the vertex alpha.
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    }

    // Draws `source` over a target cleared to `dest` and returns the result.
    DWORD BlendOver(DWORD dest, DWORD source) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        ClearTo(dest);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        DrawColorQuad(0, 0, 4, 4, source);
        return Pixel(1, 1);
    }

    static constexpr DWORD kDest = 0x60402080;   // a 0x60, r 0x40, g 0x20, b 0x80
    static constexpr DWORD kSource = 0xA0C08040; // a 0xA0, r 0xC0, g 0x80, b 0x40
};

struct FactorCase {
    DWORD blend;
    int r, g, b, a; // factor values for source kSource over dest kDest
};

TEST_F(OutputMergerTest, EveryBlendFactor) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_BLENDFACTOR, 0x33445566);
    const int sa = 0xA0, da = 0x60;
    const FactorCase factors[] = {
        {D3DBLEND_ZERO, 0, 0, 0, 0},
        {D3DBLEND_ONE, 255, 255, 255, 255},
        {D3DBLEND_SRCCOLOR, 0xC0, 0x80, 0x40, 0xA0},
        {D3DBLEND_INVSRCCOLOR, 0x3F, 0x7F, 0xBF, 0x5F},
        {D3DBLEND_SRCALPHA, sa, sa, sa, sa},
        {D3DBLEND_INVSRCALPHA, 255 - sa, 255 - sa, 255 - sa, 255 - sa},
        {D3DBLEND_DESTALPHA, da, da, da, da},
        {D3DBLEND_INVDESTALPHA, 255 - da, 255 - da, 255 - da, 255 - da},
        {D3DBLEND_DESTCOLOR, 0x40, 0x20, 0x80, 0x60},
        {D3DBLEND_INVDESTCOLOR, 0xBF, 0xDF, 0x7F, 0x9F},
        {D3DBLEND_SRCALPHASAT, 255 - da, 255 - da, 255 - da, 255},
        {D3DBLEND_BLENDFACTOR, 0x44, 0x55, 0x66, 0x33},
        {D3DBLEND_INVBLENDFACTOR, 0xBB, 0xAA, 0x99, 0xCC},
    };
    const int src[4] = {0xC0, 0x80, 0x40, 0xA0};
    const int dst[4] = {0x40, 0x20, 0x80, 0x60};
    auto pack = [](const int* c) {
        auto sat = [](int v) { return DWORD(v > 255 ? 255 : v); };
        return sat(c[3]) << 24 | sat(c[0]) << 16 | sat(c[1]) << 8 | sat(c[2]);
    };
    for (const FactorCase& f : factors) {
        // As source factor, with the destination factor ZERO.
        device->SetRenderState(D3DRS_SRCBLEND, f.blend);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
        const int fs[4] = {f.r, f.g, f.b, f.a};
        int asSource[4], asDest[4];
        for (int i = 0; i < 4; ++i) {
            asSource[i] = Mul(src[i], fs[i]);
            asDest[i] = Mul(dst[i], fs[i]);
        }
        EXPECT_EQ(BlendOver(kDest, kSource), pack(asSource)) << "source factor " << f.blend;
        // As destination factor, with the source factor ZERO.
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        device->SetRenderState(D3DRS_DESTBLEND, f.blend);
        EXPECT_EQ(BlendOver(kDest, kSource), pack(asDest)) << "dest factor " << f.blend;
    }
}

TEST_F(OutputMergerTest, BothSrcAlphaSetsBothFactors) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BOTHSRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO); // overridden
    const DWORD r = Mul(0xC0, 0xA0) + Mul(0x40, 0x5F);
    EXPECT_EQ((BlendOver(kDest, kSource) >> 16) & 0xFF, r);
}

TEST_F(OutputMergerTest, BlendOperations) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    EXPECT_EQ(BlendOver(kDest, kSource), 0xFFFFA0C0u);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_SUBTRACT);
    EXPECT_EQ(BlendOver(kDest, kSource), 0x40806000u);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_REVSUBTRACT);
    EXPECT_EQ(BlendOver(kDest, kSource), 0x00000040u);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MIN);
    EXPECT_EQ(BlendOver(kDest, kSource), 0x60402040u);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
    EXPECT_EQ(BlendOver(kDest, kSource), 0xA0C08080u);
}

TEST_F(OutputMergerTest, ShadowFloorBlendMultipliesTheFloor) {
    // SRCBLEND ZERO, DESTBLEND SRCCOLOR: the picture under the quad times the quad's colour.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    EXPECT_EQ(BlendOver(0xFF8040C0, 0xFFFFFFFF) & 0xFFFFFF, 0x8040C0u);
    EXPECT_EQ(BlendOver(0xFF8040C0, 0xFF808080) & 0xFFFFFF,
              DWORD(Mul(0x80, 0x80) << 16 | Mul(0x40, 0x80) << 8 | Mul(0xC0, 0x80)));
}

TEST_F(OutputMergerTest, AlphaTestDiscards) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    ClearTo(0xFF000000);
    DrawColorQuad(0, 0, 4, 4, 0x7FFFFFFF);
    DrawColorQuad(4, 0, 8, 4, 0x80FFFFFF);
    EXPECT_EQ(Pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(Pixel(5, 1), 0x80FFFFFFu);
}

TEST_F(OutputMergerTest, ColorWriteMask) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    ClearTo(0x11223344);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_ALPHA);
    DrawColorQuad(0, 0, 4, 4, 0xAABBCCDD);
    EXPECT_EQ(Pixel(1, 1), 0xAABB3344u);
}

TEST_F(OutputMergerTest, DepthFunctionsAtD16Precision) {
    struct Case {
        DWORD func;
        bool nearerDraws, equalDraws, fartherDraws;
    };
    const Case cases[] = {{D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, true, false, false},
                          {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, true, true, false},
                          {D3DCMP_GREATER, false, false, true},     {D3DCMP_NOTEQUAL, true, false, true},
                          {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true}};
    // 0.5 and 0.5 + 1/300000 fall on the same 16-bit depth value; 0.5 +- 1/1000 do not.
    const float base = 0.5f;
    for (const Case& c : cases) {
        auto draws = [&](float z) {
            ClearTo(0xFF000000);
            device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
            DrawColorQuad(0, 0, 4, 4, 0xFF0000FF, base);
            device->SetRenderState(D3DRS_ZFUNC, c.func);
            DrawColorQuad(0, 0, 4, 4, 0xFFFF0000, z);
            return Pixel(1, 1) == 0xFFFF0000u;
        };
        EXPECT_EQ(draws(base - 0.001f), c.nearerDraws) << c.func;
        EXPECT_EQ(draws(base + 1.0f / 300000.0f), c.equalDraws) << c.func;
        EXPECT_EQ(draws(base + 0.001f), c.fartherDraws) << c.func;
    }
}

TEST_F(OutputMergerTest, DepthWriteCanBeSwitchedOff) {
    ClearTo(0xFF000000);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawColorQuad(0, 0, 4, 4, 0xFF0000FF, 0.2f);
    DrawColorQuad(0, 0, 4, 4, 0xFFFF0000, 0.8f); // passes: nothing was written at 0.2
    EXPECT_EQ(Pixel(1, 1), 0xFFFF0000u);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    DrawColorQuad(0, 0, 4, 4, 0xFF00FF00, 0.2f);
    DrawColorQuad(0, 0, 4, 4, 0xFFFF0000, 0.8f);
    EXPECT_EQ(Pixel(1, 1), 0xFF00FF00u);
}

TEST_F(OutputMergerTest, StencilMasksLaterDrawing) {
    CreateDevice(32, 32, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    ASSERT_EQ(
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0),
        D3D_OK);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetRenderState(D3DRS_STENCILREF, 1);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    DrawColorQuad(0, 0, 8, 8, 0xFFFFFFFF, 0.9f); // marks the stencil only
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0x0F);
    // Clearing only the depth keeps the stencil values.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    DrawColorQuad(0, 0, 16, 16, 0xFF00FF00, 0.5f);
    EXPECT_EQ(Pixel(4, 4), 0xFF00FF00u);
    EXPECT_EQ(Pixel(12, 12), 0xFF000000u);
    // A depth failure inside the marked area increments the stencil value there.
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_NEVER);
    device->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_INCR);
    DrawColorQuad(0, 0, 4, 4, 0xFFFF0000, 0.5f);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILREF, 2);
    DrawColorQuad(0, 0, 8, 8, 0xFF0000FF, 0.5f);
    EXPECT_EQ(Pixel(2, 2), 0xFF0000FFu);
    EXPECT_EQ(Pixel(6, 6), 0xFF00FF00u);
}

TEST_F(OutputMergerTest, ClearRectanglesAndSixteenBitTargets) {
    ClearTo(0xFF000000);
    const D3DRECT rects[2] = {{2, 2, 4, 4}, {10, 10, 12, 11}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0xFF123456, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Pixel(2, 2), 0xFF123456u);
    EXPECT_EQ(Pixel(3, 3), 0xFF123456u);
    EXPECT_EQ(Pixel(4, 4), 0xFF000000u);
    EXPECT_EQ(Pixel(11, 10), 0xFF123456u);
    EXPECT_EQ(Pixel(11, 11), 0xFF000000u);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0),
              D3DERR_INVALIDCALL); // D16 has no stencil

    CreateDevice(16, 16, D3DFMT_R5G6B5, true);
    ClearTo(0xFFFF0000);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawColorQuad(0, 0, 4, 4, 0xFF00FF00);
    EXPECT_EQ(Pixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(8, 8), 0xFFFF0000u);
}

} // namespace
