// Drawing text with the font object on a headless device: where pixels light up, what DT_CALCRECT
// reports, clipping and alignment, fallback glyphs and the glyph cache.

#include "FontTestSupport.h"

#include "gfxutil/text/Font.h"

#include <cstdint>
#include <cstring>

namespace fonttest {
namespace {

constexpr D3DCOLOR kYellow = 0xFFFFFF00u;

class FontDrawTest : public HeadlessDeviceTest {
protected:
    void SetUp() override {
        HeadlessDeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateFontA(device, 16, 0, FW_BOLD, 0, FALSE, DEFAULT_CHARSET, 0, 0, 0, "Arial", &font),
                  D3D_OK);
        ASSERT_NE(font, nullptr);
        Clear();
    }
    void TearDown() override {
        if (font)
            font->Release();
        HeadlessDeviceTest::TearDown();
    }

    // Draws as the view does: no sprite, the whole string, a rectangle with only a top-left.
    INT DrawAt(const char* text, LONG x, LONG y, DWORD format = DT_NOCLIP, D3DCOLOR color = kYellow) {
        RECT rect{x, y, 0, 0};
        return font->DrawTextA(nullptr, text, -1, &rect, format, color);
    }

    ID3DXFont* font = nullptr;
};

TEST_F(FontDrawTest, OverlayLineLightsPixelsNearTopLeftOnly) {
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(DrawAt("FPS: 123.456", 5, 5), 16);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 5, 5, 120, 21, Yellowish), 40);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), 5, NotBlack), 0) << "nothing above the line";
    EXPECT_EQ(CountPixels(pixels, 0, 0, 5, int(kHeight), NotBlack), 0) << "nothing left of the text";
    EXPECT_EQ(CountPixels(pixels, 150, 0, int(kWidth), int(kHeight), NotBlack), 0) << "nothing far right";
    EXPECT_EQ(CountPixels(pixels, 0, 22, int(kWidth), int(kHeight), NotBlack), 0) << "nothing below the line";
    // Glyph edges are blended, never a colour other than a shade of the text colour.
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), int(kHeight), [](DWORD p) { return (p & 0xFF) != 0; }),
              0);
}

TEST_F(FontDrawTest, CalcRectMeasuresAndDrawsNothing) {
    RECT rect{5, 7, 0, 0};
    const INT height = font->DrawTextA(nullptr, "FPS: 123.456", -1, &rect, DT_NOCLIP | DT_CALCRECT, kYellow);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.bottom, 7 + 16);
    EXPECT_GT(rect.right - rect.left, 60);
    EXPECT_LT(rect.right - rect.left, 140);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, int(kWidth), int(kHeight), NotBlack), 0);

    RECT twoLines{0, 0, 0, 0};
    EXPECT_EQ(font->DrawTextA(nullptr, "a\nlonger line", -1, &twoLines, DT_CALCRECT, kYellow), 32);
    RECT longer{0, 0, 0, 0};
    font->DrawTextA(nullptr, "longer line", -1, &longer, DT_CALCRECT, kYellow);
    EXPECT_EQ(twoLines.right, longer.right) << "the widest line sets the width";
    EXPECT_EQ(twoLines.bottom, 32);
}

TEST_F(FontDrawTest, DrawnTextStaysWithinCalculatedRect) {
    RECT extent{20, 30, 0, 0};
    font->DrawTextA(nullptr, "Texture: skin.png", -1, &extent, DT_CALCRECT, kYellow);
    DrawAt("Texture: skin.png", 20, 30);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    const int inside =
        CountPixels(pixels, extent.left - 1, extent.top, extent.right + 2, extent.bottom, NotBlack);
    EXPECT_GT(inside, 40);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), int(kHeight), NotBlack), inside);
}

TEST_F(FontDrawTest, ClipsToRectangleUnlessNoClip) {
    RECT clip{5, 5, 30, 21};
    EXPECT_EQ(font->DrawTextA(nullptr, "MD2file: tris.md2", -1, &clip, DT_LEFT, kYellow), 16);
    std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 5, 5, 30, 21, NotBlack), 10);
    EXPECT_EQ(CountPixels(pixels, 30, 0, int(kWidth), int(kHeight), NotBlack), 0);

    Clear();
    RECT unclipped = clip;
    font->DrawTextA(nullptr, "MD2file: tris.md2", -1, &unclipped, DT_NOCLIP, kYellow);
    pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 30, 5, int(kWidth), 21, NotBlack), 10);

    Clear();
    RECT empty{5, 5, 0, 0};
    font->DrawTextA(nullptr, "MD2file: tris.md2", -1, &empty, DT_LEFT, kYellow);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, int(kWidth), int(kHeight), NotBlack), 0);
}

TEST_F(FontDrawTest, ExtremeRectanglesAreHandledSafely) {
    RECT huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_EQ(font->DrawTextA(nullptr, "wide", -1, &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE, kYellow),
              16);
    const std::vector<DWORD> centred = ReadBackBuffer();
    EXPECT_GT(CountPixels(centred, 0, 0, 30, 10, NotBlack), 5) << "centred on the origin";
    EXPECT_EQ(CountPixels(centred, 30, 0, int(kWidth), int(kHeight), NotBlack), 0);
    Clear();
    RECT inverted{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    EXPECT_EQ(font->DrawTextA(nullptr, "wide", -1, &inverted, DT_RIGHT | DT_BOTTOM, kYellow), 16);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, int(kWidth), int(kHeight), NotBlack), 0);
}

TEST_F(FontDrawTest, AlignmentFlagsPlaceTextInRectangle) {
    RECT right{0, 0, int(kWidth), 40};
    font->DrawTextA(nullptr, "END", -1, &right, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, kYellow);
    std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, int(kWidth) - 50, 24, int(kWidth), 40, NotBlack), 10);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth) - 50, int(kHeight), NotBlack), 0);
    EXPECT_EQ(CountPixels(pixels, 0, 0, int(kWidth), 22, NotBlack), 0);

    RECT centred{0, 0, int(kWidth), 20};
    RECT measured = centred;
    font->DrawTextA(nullptr, "mid", -1, &measured, DT_CENTER | DT_CALCRECT, kYellow);
    EXPECT_NEAR((measured.left + measured.right) / 2.0, kWidth / 2.0, 1.0);
}

TEST_F(FontDrawTest, HangulComesFromFallbackFace) {
    auto* ours = dynamic_cast<Font*>(font);
    ASSERT_NE(ours, nullptr);
    const GlyphId hangul = ours->GlyphFor(U'우');
    EXPECT_NE(hangul.index, 0u);
    EXPECT_NE(hangul.face, 0u) << "the Latin face has no Hangul";
    EXPECT_EQ(ours->GlyphFor(U'A').face, 0u);

    DrawAt("우씨~", 5, 5);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 5, 0, 60, 24, Yellowish), 30);
}

TEST_F(FontDrawTest, SameStringTwiceRasterisesNothingNew) {
    DrawAt("offsetY: 1.250", 5, 5);
    const std::size_t first = GlyphsRasterised(font);
    EXPECT_GE(first, 10u) << "distinct glyphs of the string, the space included";
    EXPECT_LE(first, 13u);
    DrawAt("offsetY: 1.250", 5, 40);
    EXPECT_EQ(GlyphsRasterised(font), first);
    DrawAt("Y1", 5, 60);
    EXPECT_EQ(GlyphsRasterised(font), first);
    DrawAt("Z", 5, 60);
    EXPECT_EQ(GlyphsRasterised(font), first + 1);
}

TEST_F(FontDrawTest, InvalidUtf8IsDrawnSafely) {
    const char broken[] = {'A', char(0xFF), char(0xE0), char(0x80), 'B', char(0xC3), 0};
    EXPECT_EQ(DrawAt(broken, 5, 5), 16);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_GT(CountPixels(pixels, 5, 5, 120, 21, NotBlack), 10);

    RECT rect{0, 0, 0, 0};
    const char truncated[] = {'x', char(0xF0), char(0x9F)};
    EXPECT_EQ(font->DrawTextA(nullptr, truncated, 3, &rect, DT_CALCRECT, kYellow), 16);
    EXPECT_GT(rect.right, 0);

    // Every byte value after a lead byte of each length, drawn: nothing may read past the count.
    for (unsigned lead : {0xC3u, 0xE3u, 0xF0u})
        for (unsigned byte = 0; byte < 256; ++byte) {
            const char pair[2] = {char(lead), char(byte)};
            RECT at{5, 40, 0, 0};
            EXPECT_EQ(font->DrawTextA(nullptr, pair, 2, &at, DT_NOCLIP, kYellow), 16);
        }
}

TEST_F(FontDrawTest, CountLimitsTheTextAndBadArgumentsDrawNothing) {
    RECT whole{0, 0, 0, 0}, part{0, 0, 0, 0};
    font->DrawTextA(nullptr, "abcdef", -1, &whole, DT_CALCRECT, kYellow);
    font->DrawTextA(nullptr, "abcdef", 3, &part, DT_CALCRECT, kYellow);
    EXPECT_LT(part.right, whole.right);
    EXPECT_GT(part.right, 0);

    EXPECT_EQ(font->DrawTextA(nullptr, nullptr, -1, &whole, DT_NOCLIP, kYellow), 0);
    EXPECT_EQ(font->DrawTextA(nullptr, "abc", -1, nullptr, DT_CALCRECT, kYellow), 0);
    EXPECT_EQ(font->DrawTextA(nullptr, "", -1, &whole, DT_NOCLIP, kYellow), 0);
    // Without a rectangle the text starts at the origin, unclipped.
    EXPECT_EQ(font->DrawTextA(nullptr, "abc", -1, nullptr, 0, kYellow), 16);
    EXPECT_GT(CountPixels(ReadBackBuffer(), 0, 0, 40, 17, NotBlack), 5);
}

TEST_F(FontDrawTest, WideTextDrawsLikeUtf8) {
    RECT narrow{0, 0, 0, 0}, wide{0, 0, 0, 0};
    font->DrawTextA(nullptr, "우씨~ ok", -1, &narrow, DT_CALCRECT, kYellow);
    font->DrawTextW(nullptr, u"우씨~ ok", -1, &wide, DT_CALCRECT, kYellow);
    EXPECT_EQ(narrow.right, wide.right);
    EXPECT_GT(wide.right, 0);
    const char16_t lone[] = {u'a', char16_t(0xD800), u'b', 0};
    EXPECT_EQ(font->DrawTextW(nullptr, lone, -1, &wide, DT_NOCLIP, kYellow), 16);
}

TEST_F(FontDrawTest, CallerSpriteIsUsedBetweenItsBeginAndEnd) {
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    RECT rect{5, 5, 0, 0};
    EXPECT_EQ(font->DrawTextA(sprite, "Cartoon: ramp.bmp", -1, &rect, DT_NOCLIP, kYellow), 16);
    EXPECT_EQ(CountPixels(ReadBackBuffer(), 0, 0, int(kWidth), int(kHeight), NotBlack), 0)
        << "queued until the sprite ends";
    ASSERT_EQ(sprite->End(), D3D_OK);
    EXPECT_GT(CountPixels(ReadBackBuffer(), 5, 5, 150, 21, Yellowish), 40);
    sprite->Release();
}

TEST_F(FontDrawTest, GlyphDataAndPreloading) {
    auto* ours = dynamic_cast<Font*>(font);
    ASSERT_NE(ours, nullptr);
    const GlyphId a = ours->GlyphFor(U'A');
    IDirect3DTexture9* texture = nullptr;
    RECT box{};
    POINT offset{};
    ASSERT_EQ(font->GetGlyphData(a.index, &texture, &box, &offset), D3D_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_GT(box.right - box.left, 4);
    EXPECT_GT(box.bottom - box.top, 6);
    EXPECT_GE(offset.y, 0);
    EXPECT_LT(offset.y, 16);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    texture->Release();
    EXPECT_EQ(font->GetGlyphData(0xFFFFFFu, &texture, &box, &offset), D3DERR_INVALIDCALL);

    const std::size_t before = GlyphsRasterised(font);
    ASSERT_EQ(font->PreloadCharacters('0', '9'), D3D_OK);
    EXPECT_EQ(GlyphsRasterised(font), before + 10);
    ASSERT_EQ(font->PreloadTextA("0123456789", -1), D3D_OK);
    EXPECT_EQ(GlyphsRasterised(font), before + 10);
    EXPECT_EQ(font->PreloadTextA(nullptr, -1), D3DERR_INVALIDCALL);
}

TEST_F(FontDrawTest, ReleasingAFontGivesBackEveryDeviceReference) {
    device->AddRef();
    const ULONG before = device->Release();
    ID3DXFont* second = nullptr;
    ASSERT_EQ(D3DXCreateFontA(device, 24, 0, FW_NORMAL, 0, TRUE, DEFAULT_CHARSET, 0, 0, 0, "Arial", &second),
              D3D_OK);
    RECT rect{5, 5, 0, 0};
    EXPECT_EQ(second->DrawTextA(nullptr, "italic", -1, &rect, DT_NOCLIP, kYellow), 24);
    device->AddRef();
    EXPECT_GT(device->Release(), before);
    EXPECT_EQ(second->Release(), 0u);
    device->AddRef();
    EXPECT_EQ(device->Release(), before);
}

TEST_F(FontDrawTest, FontMayOutliveTheCallersDeviceReference) {
    DrawAt("last", 5, 5);
    device->Release();
    device = nullptr;
    EXPECT_EQ(font->Release(), 0u) << "the font held the device until its textures were gone";
    font = nullptr;
}

} // namespace
} // namespace fonttest
