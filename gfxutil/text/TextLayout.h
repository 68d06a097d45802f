#pragma once
// Laying text out in a rectangle the way DrawText does: lines from line breaks (and, with
// DT_WORDBREAK, from the rectangle's width), tab stops, horizontal and vertical alignment, and the
// extent that DT_CALCRECT reports.

#include "gfxutil/text/FontFace.h"
#include "platform/os/WinTypes.h"

#include <string>
#include <vector>

// What the layout needs to know about the font.
class GlyphSource {
public:
    virtual GlyphId GlyphFor(char32_t c) = 0;
    virtual int Advance(GlyphId glyph) = 0;
    virtual int LineHeight() const = 0;
    virtual int AverageCharWidth() const = 0;

protected:
    ~GlyphSource() = default;
};

// A glyph and its pen position: left edge of its advance, top of its line.
struct PlacedGlyph {
    GlyphId glyph;
    int x = 0;
    int y = 0;
};

struct TextBlock {
    std::vector<PlacedGlyph> glyphs;
    RECT extent{}; // where the lines stand
    int lineCount = 0;
    int height = 0; // line height times the number of lines
};

TextBlock LayOutText(const std::u32string& text, const RECT& rect, DWORD format, GlyphSource& source);
