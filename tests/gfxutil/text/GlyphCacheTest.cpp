// Glyph cells in textures: the texels written, their reduced mip levels, and what happens when
// every cell is taken.

#include "FontTestSupport.h"

#include "gfxutil/text/Font.h"
#include "gfxutil/text/GlyphCache.h"

#include <cmath>

namespace fonttest {
namespace {

class GlyphCacheTest : public HeadlessDeviceTest {
protected:
    static CellGeometry SmallGeometry() {
        CellGeometry g;
        g.cell = 4;
        g.cellLevels = 3;
        g.largeCell = 8;
        g.largeLevels = 4;
        g.textureSide = 8;
        g.largeTextureSide = 8;
        return g;
    }

    static GlyphBitmap Bitmap(int width, int rows, std::uint8_t value) {
        GlyphBitmap b;
        b.advance = width;
        b.left = 1;
        b.top = 2;
        b.width = width;
        b.rows = rows;
        b.coverage.assign(std::size_t(width) * rows, value);
        return b;
    }

    static DWORD Texel(IDirect3DTexture9* texture, UINT level, LONG x, LONG y) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const DWORD v =
            reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
        texture->UnlockRect(level);
        return v;
    }
};

TEST_F(GlyphCacheTest, CoverageBecomesWhiteTexelsWithAlpha) {
    GlyphCache cache(device, SmallGeometry());
    GlyphBitmap bitmap = Bitmap(3, 2, 0);
    bitmap.coverage = {255, 128, 0, 7, 0, 255};
    const CachedGlyph* glyph = nullptr;
    ASSERT_EQ(cache.Insert(42, bitmap, &glyph), D3D_OK);
    ASSERT_NE(glyph->texture, nullptr);
    EXPECT_EQ(glyph->box.right - glyph->box.left, 3);
    EXPECT_EQ(glyph->box.bottom - glyph->box.top, 2);
    EXPECT_EQ(glyph->offset.x, 1);
    EXPECT_EQ(glyph->offset.y, 2);
    EXPECT_EQ(Texel(glyph->texture, 0, glyph->box.left, glyph->box.top), 0xFFFFFFFFu);
    EXPECT_EQ(Texel(glyph->texture, 0, glyph->box.left + 1, glyph->box.top), 0x80FFFFFFu);
    EXPECT_EQ(Texel(glyph->texture, 0, glyph->box.left, glyph->box.top + 1), 0x07FFFFFFu);
    EXPECT_EQ(Texel(glyph->texture, 0, glyph->box.left + 3, glyph->box.top), 0x00FFFFFFu);
    EXPECT_EQ(cache.Find(42), glyph);
    EXPECT_EQ(cache.Find(43), nullptr);
}

TEST_F(GlyphCacheTest, MipLevelsAverageCoverageAsLight) {
    GlyphCache cache(device, SmallGeometry());
    GlyphBitmap bitmap = Bitmap(2, 2, 0);
    bitmap.coverage = {255, 0, 0, 0};
    const CachedGlyph* glyph = nullptr;
    ASSERT_EQ(cache.Insert(1, bitmap, &glyph), D3D_OK);
    const int expected = int(std::lround(std::pow(0.25, 1 / 2.2) * 255)); // not 64
    EXPECT_NEAR(int(Texel(glyph->texture, 1, glyph->box.left / 2, glyph->box.top / 2) >> 24), expected, 1);
}

TEST_F(GlyphCacheTest, BlankGlyphsAndWideGlyphs) {
    GlyphCache cache(device, SmallGeometry());
    const CachedGlyph* blank = nullptr;
    ASSERT_EQ(cache.Insert(1, Bitmap(3, 3, 0), &blank), D3D_OK);
    EXPECT_EQ(blank->texture, nullptr) << "nothing to draw";
    EXPECT_EQ(blank->advance, 3);
    EXPECT_EQ(cache.TextureCount(), 0u);

    const CachedGlyph* wide = nullptr;
    ASSERT_EQ(cache.Insert(2, Bitmap(6, 3, 255), &wide), D3D_OK);
    ASSERT_NE(wide->texture, nullptr);
    EXPECT_EQ(wide->box.right - wide->box.left, 6) << "a large cell holds it whole";
    const CachedGlyph* huge = nullptr;
    ASSERT_EQ(cache.Insert(3, Bitmap(20, 20, 255), &huge), D3D_OK);
    EXPECT_EQ(huge->box.right - huge->box.left, 8) << "cut to the large cell";
    EXPECT_EQ(huge->box.bottom - huge->box.top, 8);
}

TEST_F(GlyphCacheTest, FullCacheAsksToStartAgain) {
    GlyphCache cache(device, SmallGeometry());
    HRESULT hr = D3D_OK;
    std::uint64_t key = 0;
    while (hr == D3D_OK && key < 10000)
        hr = cache.Insert(key++, Bitmap(2, 2, 200), nullptr);
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(key - 1, cache.TextureCount() * 4) << "four cells per texture, every one used";
    cache.Clear();
    EXPECT_EQ(cache.Find(0), nullptr);
    const std::size_t textures = cache.TextureCount();
    EXPECT_EQ(cache.Insert(0, Bitmap(2, 2, 200), nullptr), D3D_OK);
    EXPECT_EQ(cache.TextureCount(), textures) << "the textures are reused";
}

TEST_F(GlyphCacheTest, FontDrawsCorrectlyWhileReusingCells) {
    // 130-pixel lines use 256-pixel cells, one to a texture, so the cells run out quickly.
    std::size_t textures = 0;
    const auto drawTopLine = [&](const char* text) {
        ID3DXFont* font = nullptr;
        EXPECT_EQ(
            D3DXCreateFontA(device, 130, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0, "Arial", &font),
            D3D_OK);
        Clear();
        RECT rect{0, 0, 0, 0};
        EXPECT_EQ(font->DrawTextA(nullptr, text, -1, &rect, DT_NOCLIP, 0xFFFFFFFFu) % 130, 0);
        const std::size_t rasterised = GlyphsRasterised(font);
        textures = dynamic_cast<Font*>(font)->GlyphTextureCount();
        font->Release();
        return std::make_pair(ReadBackBuffer(), rasterised);
    };
    const auto [alone, one] = drawTopLine("A");
    std::string many = "A\n";
    for (char c = '!'; c <= '~'; ++c)
        many.push_back(c);
    const auto [together, all] = drawTopLine(many.c_str());
    EXPECT_EQ(one, 1u);
    EXPECT_EQ(all, 94u) << "every printable character once";
    EXPECT_LT(textures, 94u) << "cells were filled again";
    EXPECT_GT(CountPixels(alone, 0, 0, int(kWidth), int(kHeight), NotBlack), 500);
    EXPECT_TRUE(alone == together) << "the first line is drawn before its cells are filled again";
}

TEST_F(GlyphCacheTest, HugeCellsAreCappedByMemory) {
    // 600-pixel lines need 1024-pixel cells: 4 MiB a texture, so only a few are kept.
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(device, 600, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0, "Arial", &font),
              D3D_OK);
    RECT rect{-50, -250, 0, 0}; // the middle of the first glyphs shows
    EXPECT_EQ(font->DrawTextA(nullptr, "ABCDEFGHIJ", -1, &rect, DT_NOCLIP, 0xFFFFFFFFu), 600);
    const Font* ours = dynamic_cast<Font*>(font);
    EXPECT_EQ(ours->Geometry().cell, 1024u);
    EXPECT_LE(ours->GlyphTextureCount(), 8u);
    EXPECT_EQ(GlyphsRasterised(font), 10u);
    EXPECT_GT(CountPixels(ReadBackBuffer(), 0, 0, int(kWidth), int(kHeight), NotBlack), 500);
    font->Release();
}

} // namespace
} // namespace fonttest
