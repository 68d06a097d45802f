// The texture stage cascade on known colours.

#include "DeviceFixture.h"

namespace {

struct OpCase {
    DWORD op;
    DWORD expected; // for arg1 = texture 0x80C04020 (a 0x80), arg2 = diffuse 0x40806040 (a 0x40)
};

int Mul(int a, int b) {
    return (a * b + 127) / 255;
}

class TextureStageTest : public DeviceTest {
protected:
    void SetUp() override {
        // An A8R8G8B8 target keeps the alpha the stages produced.
        CreateDevice(64, 64, D3DFMT_A8R8G8B8, true);
        texture = MakeTexture(1, 1, {kTexel});
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetTexture(0, texture);
    }
    void TearDown() override {
        ReleaseTexture();
        DeviceTest::TearDown();
    }
    void ReleaseTexture() {
        device->SetTexture(0, nullptr);
        if (texture)
            texture->Release();
        texture = nullptr;
    }
    void UseTexture(const std::vector<DWORD>& texels, UINT w) {
        ReleaseTexture();
        texture = MakeTexture(w, UINT(texels.size()) / w, texels);
        device->SetTexture(0, texture);
    }

    // Draws a quad with diffuse kDiffuse and the texture, returns the pixel at its centre.
    DWORD Run() {
        ClearTo(0xFF000000);
        const ScreenColorTexVertex v[4] = {{0, 0, 0.5f, 1, kDiffuse, 0.5f, 0.5f},
                                           {8, 0, 0.5f, 1, kDiffuse, 0.5f, 0.5f},
                                           {8, 8, 0.5f, 1, kDiffuse, 0.5f, 0.5f},
                                           {0, 8, 0.5f, 1, kDiffuse, 0.5f, 0.5f}};
        device->SetFVF(kFvfScreenColorTex);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(v[0])), D3D_OK);
        return Pixel(4, 4);
    }

    static constexpr DWORD kTexel = 0x80C04020;
    static constexpr DWORD kDiffuse = 0x40806040;
    IDirect3DTexture9* texture = nullptr;
};

TEST_F(TextureStageTest, DefaultStagesModulateTextureAndDiffuse) {
    // Colour: texture * diffuse; alpha: texture alpha alone (SELECTARG1).
    const DWORD expected =
        0x80000000u | DWORD(Mul(0xC0, 0x80)) << 16 | DWORD(Mul(0x40, 0x60)) << 8 | Mul(0x20, 0x40);
    EXPECT_EQ(Run(), expected);
}

TEST_F(TextureStageTest, ColorOperationsOnKnownColours) {
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    auto rgb = [](int r, int g, int b) { return 0x40000000u | DWORD(r) << 16 | DWORD(g) << 8 | DWORD(b); };
    const auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    const OpCase cases[] = {
        {D3DTOP_SELECTARG1, rgb(0xC0, 0x40, 0x20)},
        {D3DTOP_SELECTARG2, rgb(0x80, 0x60, 0x40)},
        {D3DTOP_MODULATE, rgb(Mul(0xC0, 0x80), Mul(0x40, 0x60), Mul(0x20, 0x40))},
        {D3DTOP_MODULATE2X, rgb(clamp((0xC0 * 0x80 * 2 + 127) / 255), (0x40 * 0x60 * 2 + 127) / 255,
                                (0x20 * 0x40 * 2 + 127) / 255)},
        {D3DTOP_MODULATE4X, rgb(255, (0x40 * 0x60 * 4 + 127) / 255, (0x20 * 0x40 * 4 + 127) / 255)},
        {D3DTOP_ADD, rgb(255, 0xA0, 0x60)},
        {D3DTOP_ADDSIGNED, rgb(0xC0 + 0x80 - 128, 0x40 + 0x60 - 128, 0)},
        {D3DTOP_ADDSIGNED2X, rgb(255, clamp(2 * (0x40 + 0x60) - 255), 0)},
        {D3DTOP_SUBTRACT, rgb(0x40, 0, 0)},
        {D3DTOP_ADDSMOOTH,
         rgb(0xC0 + Mul(255 - 0xC0, 0x80), 0x40 + Mul(255 - 0x40, 0x60), 0x20 + Mul(255 - 0x20, 0x40))},
        // Blend by the diffuse alpha 0x40 and by the texture alpha 0x80.
        {D3DTOP_BLENDDIFFUSEALPHA,
         rgb((0xC0 * 0x40 + 0x80 * 0xBF + 127) / 255, (0x40 * 0x40 + 0x60 * 0xBF + 127) / 255,
             (0x20 * 0x40 + 0x40 * 0xBF + 127) / 255)},
        {D3DTOP_BLENDTEXTUREALPHA,
         rgb((0xC0 * 0x80 + 0x80 * 0x7F + 127) / 255, (0x40 * 0x80 + 0x60 * 0x7F + 127) / 255,
             (0x20 * 0x80 + 0x40 * 0x7F + 127) / 255)},
        {D3DTOP_BLENDCURRENTALPHA,
         rgb((0xC0 * 0x40 + 0x80 * 0xBF + 127) / 255, (0x40 * 0x40 + 0x60 * 0xBF + 127) / 255,
             (0x20 * 0x40 + 0x40 * 0xBF + 127) / 255)},
        {D3DTOP_BLENDTEXTUREALPHAPM, rgb(255, 0x40 + Mul(0x60, 0x7F), 0x20 + Mul(0x40, 0x7F))},
    };
    for (const OpCase& c : cases) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        EXPECT_EQ(Run(), c.expected) << "operation " << c.op;
    }
}

TEST_F(TextureStageTest, ArgumentModifiersAndFactor) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
    EXPECT_EQ(Run() & 0xFFFFFF, 0x3FBFDFu);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
    EXPECT_EQ(Run() & 0xFFFFFF, 0x808080u);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF808080);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    EXPECT_EQ(Run() & 0xFFFFFF, 0x002040u); // 0x80 - diffuse, clamped at 0
}

TEST_F(TextureStageTest, ThreeArgumentOperationsAndDotProduct) {
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF404040);
    device->SetTextureStageState(0, D3DTSS_COLORARG0, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
    EXPECT_EQ(Run() & 0xFFFFFF, DWORD(0x40 + Mul(0xC0, 0x80)) << 16 | DWORD(0x40 + Mul(0x40, 0x60)) << 8 |
                                    DWORD(0x40 + Mul(0x20, 0x40)));
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_LERP);
    EXPECT_EQ(Run() & 0xFFFFFF, DWORD((0x40 * 0xC0 + 0xBF * 0x80 + 127) / 255) << 16 |
                                    DWORD((0x40 * 0x40 + 0xBF * 0x60 + 127) / 255) << 8 |
                                    DWORD((0x40 * 0x20 + 0xBF * 0x40 + 127) / 255));
    // (0.5, 0.5, 0.5) . (0.5, 0.5, 0.5) after the signed mapping is 0 except for rounding; a vector
    // with itself: texture (1, 0.5, 0.5) . (1, 0.5, 0.5) = 1.
    UseTexture({0xFFFF8080}, 1);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
    EXPECT_EQ(Run(), 0xFFFFFFFFu);
}

TEST_F(TextureStageTest, NullTextureReadsOpaqueWhite) {
    device->SetTexture(0, nullptr);
    EXPECT_EQ(Run(), 0xFF806040u); // white * diffuse; alpha from the white texel
}

TEST_F(TextureStageTest, SecondStageTempRegisterAndCoordinateIndex) {
    // Stage 0 writes the texture to TEMP; stage 1 adds TEMP to the diffuse colour.
    UseTexture({0xFF100000, 0xFF200000}, 2);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEMP);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    EXPECT_EQ(Run(), 0x40806040u + 0x00200000u); // u = 0.5 picks texel 1

    // Stage 0 reading coordinate set 1, which the vertex does not have, reads u = 0.
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    EXPECT_EQ(Run(), 0x40806040u + 0x00100000u);
}

TEST_F(TextureStageTest, DisabledAlphaOperationPassesCurrentAlpha) {
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    EXPECT_EQ(Run() >> 24, 0x40u); // the diffuse alpha
}

} // namespace
