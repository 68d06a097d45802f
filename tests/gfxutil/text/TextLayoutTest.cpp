// Laying out text with a font whose every glyph is 10 pixels wide and whose lines are 20 apart.

#include "gfxutil/text/TextLayout.h"
#include "gfxutil/text/D3DX9Font.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class FixedGlyphs : public GlyphSource {
public:
    GlyphId GlyphFor(char32_t c) override { return GlyphId{0, std::uint32_t(c)}; }
    int Advance(GlyphId) override { return 10; }
    int LineHeight() const override { return 20; }
    int AverageCharWidth() const override { return 5; }
};

TextBlock Lay(const std::u32string& text, RECT rect, DWORD format) {
    FixedGlyphs glyphs;
    return LayOutText(text, rect, format, glyphs);
}

std::u32string LineText(const TextBlock& block, int y) {
    std::u32string out;
    for (const PlacedGlyph& g : block.glyphs)
        if (g.y == y)
            out.push_back(char32_t(g.glyph.index));
    return out;
}

TEST(TextLayoutTest, SingleLineStartsAtTheRectanglesTopLeft) {
    const TextBlock block = Lay(U"abc", RECT{5, 7, 0, 0}, DT_NOCLIP);
    ASSERT_EQ(block.glyphs.size(), 3u);
    EXPECT_EQ(block.glyphs[0].x, 5);
    EXPECT_EQ(block.glyphs[2].x, 25);
    EXPECT_EQ(block.glyphs[1].y, 7);
    EXPECT_EQ(block.height, 20);
    EXPECT_EQ(block.extent.left, 5);
    EXPECT_EQ(block.extent.right, 35);
    EXPECT_EQ(block.extent.bottom, 27);
}

TEST(TextLayoutTest, LineBreaksStartNewLines) {
    const TextBlock block = Lay(U"ab\ncde\r\nf\rg\n", RECT{0, 0, 0, 0}, 0);
    EXPECT_EQ(block.lineCount, 4) << "LF, CR LF and CR break; a break at the end adds no line";
    EXPECT_EQ(LineText(block, 20), U"cde");
    EXPECT_EQ(LineText(block, 60), U"g");
    EXPECT_EQ(block.extent.right, 30);
    EXPECT_EQ(block.height, 80);
    EXPECT_EQ(Lay(U"\n\n", RECT{}, 0).lineCount, 2);
    EXPECT_EQ(Lay(U"", RECT{3, 4, 0, 0}, 0).lineCount, 0);

    const TextBlock single = Lay(U"ab\ncd", RECT{}, DT_SINGLELINE);
    EXPECT_EQ(single.lineCount, 1);
    EXPECT_EQ(LineText(single, 0), U"abcd");
}

TEST(TextLayoutTest, HorizontalAndVerticalAlignment) {
    const RECT box{0, 0, 100, 60};
    EXPECT_EQ(Lay(U"abc", box, DT_RIGHT).glyphs[0].x, 70);
    EXPECT_EQ(Lay(U"abc", box, DT_CENTER).glyphs[0].x, 35);
    EXPECT_EQ(Lay(U"abc", box, DT_BOTTOM | DT_SINGLELINE).glyphs[0].y, 40);
    EXPECT_EQ(Lay(U"abc", box, DT_VCENTER | DT_SINGLELINE).glyphs[0].y, 20);
    const TextBlock lines = Lay(U"a\nabc", box, DT_RIGHT);
    EXPECT_EQ(lines.glyphs[0].x, 90) << "each line aligns on its own";
    EXPECT_EQ(lines.extent.left, 70);
    EXPECT_EQ(lines.extent.right, 100);
}

TEST(TextLayoutTest, WordBreakWrapsBetweenWords) {
    const TextBlock block = Lay(U"aa bb cc", RECT{0, 0, 55, 100}, DT_WORDBREAK);
    EXPECT_EQ(block.lineCount, 2);
    EXPECT_EQ(LineText(block, 0), U"aa bb");
    EXPECT_EQ(LineText(block, 20), U"cc") << "the space at the break is dropped";
    EXPECT_EQ(block.glyphs.back().x, 10);

    const TextBlock longWord = Lay(U"abcdefgh ij", RECT{0, 0, 30, 100}, DT_WORDBREAK);
    EXPECT_EQ(LineText(longWord, 0), U"abcdefgh") << "a word wider than the rectangle stays whole";
    EXPECT_EQ(LineText(longWord, 20), U"ij");
    EXPECT_EQ(Lay(U"aa bb cc", RECT{0, 0, 55, 100}, DT_WORDBREAK | DT_SINGLELINE).lineCount, 1);
}

TEST(TextLayoutTest, TabsExpandToStopsOfEightAverageCharacters) {
    const TextBlock block = Lay(U"a\tb", RECT{}, DT_EXPANDTABS);
    ASSERT_EQ(block.glyphs.size(), 2u) << "an expanded tab draws nothing";
    EXPECT_EQ(block.glyphs[1].x, 40);
    EXPECT_EQ(Lay(U"a\tb", RECT{}, 0).glyphs.size(), 3u);
}

TEST(TextLayoutTest, ExtremeRectanglesDoNotOverflow) {
    const RECT extreme{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const TextBlock centred = Lay(U"abc\ndef", extreme, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    EXPECT_EQ(centred.lineCount, 2);
    EXPECT_EQ(centred.glyphs[1].x - centred.glyphs[0].x, 10);
    const TextBlock far = Lay(U"abc", RECT{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}, DT_RIGHT | DT_BOTTOM);
    EXPECT_LE(far.extent.left, far.extent.right);
    EXPECT_LE(far.extent.top, far.extent.bottom);
}

} // namespace
