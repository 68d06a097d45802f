#pragma once
// Rasterised glyphs kept in cells of A8R8G8B8 glyph textures, each cell with its own mip levels, so
// that every glyph is rasterised once and afterwards only drawn.

#include "gfxutil/text/FontFace.h"
#include "platform/d3d9/Direct3D9.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

struct CellGeometry {
    UINT cell = 0; // side of an ordinary cell
    UINT cellLevels = 0;
    UINT largeCell = 0; // side of a cell for glyphs wider or taller than an ordinary one
    UINT largeLevels = 0;
    UINT textureSide = 0;
    UINT largeTextureSide = 0;
};

// Cells fit the line height and the average (large: widest) character; mipLevels caps the levels
// when it is not 0. A texture holds up to 16 cells and grows no further than 256 unless one cell
// needs more.
CellGeometry ComputeCellGeometry(const FontMetrics& metrics, UINT mipLevels);

// Runs the texture requirement check on both glyph texture sizes and takes its adjustments; fails
// with D3DXERR_INVALIDDATA when the device cannot hold one cell in A8R8G8B8.
HRESULT CheckGlyphTextures(IDirect3DDevice9* device, CellGeometry& geometry);

struct CachedGlyph {
    IDirect3DTexture9* texture = nullptr; // null when the glyph has nothing to draw
    RECT box{};                           // covered pixels within the texture
    POINT offset{};                       // box's top-left relative to the pen at the top of the line
    int advance = 0;
};

class GlyphCache {
public:
    GlyphCache(IDirect3DDevice9* device, const CellGeometry& geometry);
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    const CachedGlyph* Find(std::uint64_t key) const;
    // S_FALSE when every cell of the largest allowed set of textures is taken: Clear and retry.
    HRESULT Insert(std::uint64_t key, const GlyphBitmap& bitmap, const CachedGlyph** entry);
    // Forgets every glyph; the textures stay and their cells are filled again.
    void Clear();

    const CellGeometry& Geometry() const { return geometry_; }
    std::size_t TextureCount() const { return sheets_.size(); }

private:
    struct Sheet {
        IDirect3DTexture9* texture = nullptr;
        bool large = false;
        UINT usedCells = 0;
    };
    struct CellPlace {
        Sheet* sheet = nullptr;
        UINT x = 0;
        UINT y = 0;
    };

    HRESULT FreeCell(bool large, CellPlace& place);
    HRESULT WriteCell(const CellPlace& place, UINT cell, UINT levels, const GlyphBitmap& bitmap);

    IDirect3DDevice9* device_;
    CellGeometry geometry_;
    std::vector<Sheet> sheets_;
    std::unordered_map<std::uint64_t, CachedGlyph> glyphs_;
};
