#pragma once
// The font object: a description, the faces that serve it, the cache of rasterised glyphs and the
// sprite it draws through when the caller gives none.

#include "gfxutil/text/D3DX9Font.h"
#include "gfxutil/text/FontFace.h"
#include "gfxutil/text/GlyphCache.h"
#include "gfxutil/text/TextLayout.h"

#include <memory>
#include <string>

class Font final : public ID3DXFont, private GlyphSource {
public:
    Font(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc, std::unique_ptr<FontFaces> faces,
         const CellGeometry& geometry);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetDescA(D3DXFONT_DESCA* desc) override;
    HRESULT GetDescW(D3DXFONT_DESCW* desc) override;
    HDC GetDC() override;
    HRESULT GetGlyphData(UINT glyph, IDirect3DTexture9** texture, RECT* blackBox, POINT* cellInc) override;
    HRESULT PreloadCharacters(UINT first, UINT last) override;
    HRESULT PreloadGlyphs(UINT first, UINT last) override;
    HRESULT PreloadTextA(const char* text, INT count) override;
    HRESULT PreloadTextW(LPCWSTR text, INT count) override;
    INT DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                  D3DCOLOR color) override;
    INT DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, RECT* rect, DWORD format,
                  D3DCOLOR color) override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

    // For checks of the cache: how many glyphs have been rasterised so far.
    std::size_t GlyphsRasterised() const { return faces_->RenderCount(); }
    const FontMetrics& Metrics() const { return faces_->Metrics(); }
    const CellGeometry& Geometry() const { return cache_->Geometry(); }
    std::size_t GlyphTextureCount() const { return cache_->TextureCount(); }
    std::string FamilyOf(GlyphId glyph) const { return faces_->FamilyName(glyph.face); }
    GlyphId GlyphFor(char32_t c) override { return faces_->GlyphFor(c); }

private:
    ~Font();
    int Advance(GlyphId glyph) override { return faces_->Advance(glyph); }
    int LineHeight() const override { return faces_->Metrics().height; }
    int AverageCharWidth() const override { return faces_->Metrics().averageCharWidth; }

    HRESULT CachedGlyphFor(GlyphId glyph, ID3DXSprite* drawingSprite, const CachedGlyph** entry);
    HRESULT PreloadCodePoints(const std::u32string& text);
    INT DrawCodePoints(ID3DXSprite* sprite, const std::u32string& text, RECT* rect, DWORD format,
                       D3DCOLOR color);
    HRESULT DrawBlock(ID3DXSprite* sprite, const TextBlock& block, const RECT& clip, bool clipped,
                      D3DCOLOR color);

    ULONG refs_ = 1;
    IDirect3DDevice9* device_;
    D3DXFONT_DESCA desc_;
    std::unique_ptr<FontFaces> faces_;
    std::unique_ptr<GlyphCache> cache_;
    ID3DXSprite* ownSprite_ = nullptr;
};

// The number of glyphs the font has rasterised; 0 for objects that are not this program's fonts.
std::size_t GlyphsRasterised(ID3DXFont* font);
