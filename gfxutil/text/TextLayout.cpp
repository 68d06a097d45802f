#include "gfxutil/text/TextLayout.h"

#include "gfxutil/text/D3DX9Font.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kCharactersPerTab = 8;

struct LineItem {
    char32_t c = 0;
    GlyphId glyph;
    int advance = 0;
};

using Line = std::vector<LineItem>;

bool IsLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r';
}

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t';
}

// Splits at CR, LF and CR LF. A break at the very end starts no further line.
std::vector<std::u32string> SplitLines(const std::u32string& text, bool singleLine) {
    std::vector<std::u32string> lines;
    if (text.empty())
        return lines;
    std::u32string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (!IsLineBreak(c)) {
            current.push_back(c);
            continue;
        }
        if (singleLine)
            continue;
        if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        lines.push_back(std::move(current));
        current.clear();
        if (i + 1 == text.size())
            return lines;
    }
    lines.push_back(std::move(current));
    return lines;
}

long long LineWidth(const Line& line) {
    long long width = 0;
    for (const LineItem& item : line)
        width += item.advance;
    return width;
}

Line ShapeLine(const std::u32string& text, DWORD format, GlyphSource& source) {
    Line line;
    line.reserve(text.size());
    const long long tabWidth = std::max(1LL, (long long)source.AverageCharWidth() * kCharactersPerTab);
    long long x = 0;
    for (char32_t c : text) {
        LineItem item;
        item.c = c;
        if (c == U'\t' && (format & DT_EXPANDTABS)) {
            item.advance = int(tabWidth - x % tabWidth);
        } else {
            item.glyph = source.GlyphFor(c);
            item.advance = source.Advance(item.glyph);
        }
        x += item.advance;
        line.push_back(item);
    }
    return line;
}

void DropTrailingSpaces(Line& line) {
    while (!line.empty() && IsSpace(line.back().c))
        line.pop_back();
}

// Greedy breaking between words; a word wider than the rectangle keeps a line of its own.
std::vector<Line> WrapLine(Line line, long long maxWidth) {
    std::vector<Line> lines;
    Line current;
    long long width = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t end = i;
        long long wordWidth = 0;
        while (end < line.size() && IsSpace(line[end].c))
            wordWidth += line[end++].advance;
        while (end < line.size() && !IsSpace(line[end].c))
            wordWidth += line[end++].advance;
        const bool startsWithSpace = IsSpace(line[i].c);
        if (!current.empty() && width + wordWidth > maxWidth) {
            DropTrailingSpaces(current);
            lines.push_back(std::move(current));
            current.clear();
            width = 0;
            if (startsWithSpace) {
                while (i < end && IsSpace(line[i].c))
                    wordWidth -= line[i++].advance;
            }
        }
        current.insert(current.end(), line.begin() + std::ptrdiff_t(i), line.begin() + std::ptrdiff_t(end));
        width += wordWidth;
        i = end;
    }
    lines.push_back(std::move(current));
    return lines;
}

// Positions are worked out in 64 bits and kept well inside int, so no rectangle or text length
// can overflow them, and callers may add glyph sizes to them.
constexpr long long kCoordinateLimit = 1LL << 30;

int ToCoordinate(long long v) {
    return int(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

long long AlignedLeft(const RECT& rect, long long width, DWORD format) {
    if (format & DT_RIGHT)
        return (long long)rect.right - width;
    if (format & DT_CENTER)
        return rect.left + ((long long)rect.right - rect.left - width) / 2;
    return rect.left;
}

long long AlignedTop(const RECT& rect, long long height, DWORD format) {
    if (format & DT_BOTTOM)
        return (long long)rect.bottom - height;
    if (format & DT_VCENTER)
        return rect.top + ((long long)rect.bottom - rect.top - height) / 2;
    return rect.top;
}

} // namespace

TextBlock LayOutText(const std::u32string& text, const RECT& rect, DWORD format, GlyphSource& source) {
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    const bool wrap = (format & DT_WORDBREAK) && !singleLine;
    std::vector<Line> lines;
    for (const std::u32string& piece : SplitLines(text, singleLine)) {
        Line line = ShapeLine(piece, format, source);
        if (!wrap) {
            lines.push_back(std::move(line));
            continue;
        }
        for (Line& wrapped : WrapLine(std::move(line), (long long)rect.right - rect.left))
            lines.push_back(std::move(wrapped));
    }

    TextBlock block;
    const long long lineHeight = source.LineHeight();
    const long long height = lineHeight * (long long)lines.size();
    block.lineCount = ToCoordinate((long long)lines.size());
    block.height = ToCoordinate(height);
    const long long top = AlignedTop(rect, height, format);
    long long left = LLONG_MAX;
    long long right = LLONG_MIN;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const long long width = LineWidth(lines[n]);
        long long x = AlignedLeft(rect, width, format);
        left = std::min(left, x);
        right = std::max(right, x + width);
        const int y = ToCoordinate(top + (long long)n * lineHeight);
        for (const LineItem& item : lines[n]) {
            if (!(item.c == U'\t' && (format & DT_EXPANDTABS)))
                block.glyphs.push_back({item.glyph, ToCoordinate(x), y});
            x += item.advance;
        }
    }
    if (lines.empty())
        left = right = AlignedLeft(rect, 0, format);
    block.extent = {ToCoordinate(left), ToCoordinate(top), ToCoordinate(right), ToCoordinate(top + height)};
    return block;
}
