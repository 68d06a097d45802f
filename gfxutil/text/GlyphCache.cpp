#include "gfxutil/text/GlyphCache.h"

#include "gfxutil/texture/D3DX9Tex.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr UINT kMaxTextureSideForGrowth = 256;
constexpr UINT kCellsPerTextureWanted = 16;
// Past this many textures of one kind, or this much memory, the cells are reused rather than more
// memory taken.
constexpr std::size_t kMaxSheetsPerKind = 64;
constexpr std::size_t kSheetBytesPerKind = std::size_t(32) << 20;

std::size_t SheetLimit(UINT side) {
    const std::size_t bytes = std::size_t(side) * side * 4;
    return std::clamp<std::size_t>(kSheetBytesPerKind / bytes, 1, kMaxSheetsPerKind);
}

UINT NextPowerOfTwo(UINT v) {
    UINT p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

UINT LevelsFor(UINT side, UINT cap) {
    UINT levels = 1;
    while ((side >> levels) != 0)
        ++levels;
    return cap != 0 ? std::min(levels, cap) : levels;
}

DWORD GlyphTexel(std::uint8_t coverage) {
    return 0x00FFFFFFu | (DWORD(coverage) << 24);
}

// Coverage is averaged as light, not as the stored value, so reduced glyphs keep their weight.
const std::array<float, 256>& CoverageToLight() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = std::pow(float(i) / 255.0f, 2.2f);
        return t;
    }();
    return table;
}

std::uint8_t LightToCoverage(float light) {
    return std::uint8_t(std::lround(std::pow(std::clamp(light, 0.0f, 1.0f), 1.0f / 2.2f) * 255.0f));
}

std::vector<std::uint8_t> HalveCoverage(const std::vector<std::uint8_t>& src, UINT side) {
    const UINT half = std::max(side / 2, 1u);
    std::vector<std::uint8_t> out(std::size_t(half) * half);
    const auto& light = CoverageToLight();
    for (UINT y = 0; y < half; ++y)
        for (UINT x = 0; x < half; ++x) {
            const UINT x0 = std::min(2 * x, side - 1), x1 = std::min(2 * x + 1, side - 1);
            const UINT y0 = std::min(2 * y, side - 1), y1 = std::min(2 * y + 1, side - 1);
            const float sum = light[src[y0 * side + x0]] + light[src[y0 * side + x1]] +
                              light[src[y1 * side + x0]] + light[src[y1 * side + x1]];
            out[std::size_t(y) * half + x] = LightToCoverage(sum / 4.0f);
        }
    return out;
}

// The glyph's pixels at the cell's top-left, cut to the cell.
std::vector<std::uint8_t> CellCoverage(const GlyphBitmap& bitmap, UINT cell) {
    std::vector<std::uint8_t> out(std::size_t(cell) * cell, 0);
    const UINT w = std::min(UINT(bitmap.width), cell);
    const UINT h = std::min(UINT(bitmap.rows), cell);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            out[std::size_t(y) * cell + x] = bitmap.coverage[std::size_t(y) * bitmap.width + x];
    return out;
}

HRESULT WriteLevel(IDirect3DTexture9* texture, UINT level, UINT x, UINT y, UINT side,
                   const std::vector<std::uint8_t>& coverage) {
    const RECT rect{LONG(x), LONG(y), LONG(x + side), LONG(y + side)};
    D3DLOCKED_RECT locked{};
    const HRESULT hr = texture->LockRect(level, &locked, &rect, 0);
    if (FAILED(hr))
        return hr;
    for (UINT row = 0; row < side; ++row) {
        auto* texels =
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + std::ptrdiff_t(row) * locked.Pitch);
        for (UINT col = 0; col < side; ++col)
            texels[col] = GlyphTexel(coverage[std::size_t(row) * side + col]);
    }
    return texture->UnlockRect(level);
}

bool HasCoverage(const GlyphBitmap& bitmap) {
    return std::any_of(bitmap.coverage.begin(), bitmap.coverage.end(), [](std::uint8_t c) { return c != 0; });
}

} // namespace

CellGeometry ComputeCellGeometry(const FontMetrics& metrics, UINT mipLevels) {
    CellGeometry g;
    const UINT height = UINT(std::max(metrics.height, 1));
    g.cell = NextPowerOfTwo(std::max(height, UINT(std::max(metrics.averageCharWidth, 1))));
    g.largeCell = NextPowerOfTwo(std::max(height, UINT(std::max(metrics.maxCharWidth, 1))));
    g.cellLevels = LevelsFor(g.cell, mipLevels);
    g.largeLevels = LevelsFor(g.largeCell, mipLevels);
    const unsigned long long wanted =
        std::min<unsigned long long>(kCellsPerTextureWanted, metrics.glyphCount) * g.cell * g.cell;
    g.textureSide = g.cell;
    while ((unsigned long long)g.textureSide * g.textureSide < wanted &&
           g.textureSide < kMaxTextureSideForGrowth)
        g.textureSide *= 2;
    g.largeTextureSide = std::max(g.largeCell, g.textureSide);
    return g;
}

namespace {

// The requirement check may shrink the side or the levels; a side below one cell or another
// format cannot hold glyphs.
HRESULT CheckSheet(IDirect3DDevice9* device, UINT cell, UINT& side, UINT& levels) {
    UINT width = side;
    UINT height = side;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    const HRESULT hr =
        D3DXCheckTextureRequirements(device, &width, &height, &levels, 0, &format, D3DPOOL_MANAGED);
    if (FAILED(hr))
        return hr;
    if (format != D3DFMT_A8R8G8B8 || width < cell || height < cell)
        return D3DXERR_INVALIDDATA;
    side = std::min(width, height);
    levels = std::max(levels, 1u);
    return D3D_OK;
}

} // namespace

HRESULT CheckGlyphTextures(IDirect3DDevice9* device, CellGeometry& geometry) {
    const HRESULT hr = CheckSheet(device, geometry.cell, geometry.textureSide, geometry.cellLevels);
    if (FAILED(hr))
        return hr;
    return CheckSheet(device, geometry.largeCell, geometry.largeTextureSide, geometry.largeLevels);
}

GlyphCache::GlyphCache(IDirect3DDevice9* device, const CellGeometry& geometry)
    : device_(device), geometry_(geometry) {}

GlyphCache::~GlyphCache() {
    for (Sheet& sheet : sheets_)
        sheet.texture->Release();
}

const CachedGlyph* GlyphCache::Find(std::uint64_t key) const {
    const auto found = glyphs_.find(key);
    return found == glyphs_.end() ? nullptr : &found->second;
}

void GlyphCache::Clear() {
    glyphs_.clear();
    for (Sheet& sheet : sheets_)
        sheet.usedCells = 0;
}

HRESULT GlyphCache::FreeCell(bool large, CellPlace& place) {
    const UINT cell = large ? geometry_.largeCell : geometry_.cell;
    const UINT side = large ? geometry_.largeTextureSide : geometry_.textureSide;
    const UINT perRow = side / cell;
    std::size_t sheetsOfKind = 0;
    for (Sheet& sheet : sheets_) {
        if (sheet.large != large)
            continue;
        ++sheetsOfKind;
        if (sheet.usedCells < perRow * perRow) {
            place = {&sheet, (sheet.usedCells % perRow) * cell, (sheet.usedCells / perRow) * cell};
            ++sheet.usedCells;
            return D3D_OK;
        }
    }
    if (sheetsOfKind >= SheetLimit(side))
        return S_FALSE;
    Sheet sheet;
    sheet.large = large;
    const UINT levels = large ? geometry_.largeLevels : geometry_.cellLevels;
    const HRESULT hr = device_->CreateTexture(side, side, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                              &sheet.texture, nullptr);
    if (FAILED(hr))
        return hr;
    sheet.usedCells = 1;
    sheets_.push_back(sheet);
    place = {&sheets_.back(), 0, 0};
    return D3D_OK;
}

HRESULT GlyphCache::WriteCell(const CellPlace& place, UINT cell, UINT levels, const GlyphBitmap& bitmap) {
    std::vector<std::uint8_t> coverage = CellCoverage(bitmap, cell);
    UINT side = cell;
    for (UINT level = 0; level < levels; ++level) {
        const HRESULT hr =
            WriteLevel(place.sheet->texture, level, place.x >> level, place.y >> level, side, coverage);
        if (FAILED(hr))
            return hr;
        if (side > 1) {
            coverage = HalveCoverage(coverage, side);
            side /= 2;
        }
    }
    return D3D_OK;
}

HRESULT GlyphCache::Insert(std::uint64_t key, const GlyphBitmap& bitmap, const CachedGlyph** entry) {
    CachedGlyph glyph;
    glyph.advance = bitmap.advance;
    if (HasCoverage(bitmap)) {
        const UINT cell = geometry_.cell;
        const bool large =
            UINT(bitmap.width) > cell || UINT(bitmap.rows) > cell || bitmap.advance > int(cell);
        const UINT useCell = large ? geometry_.largeCell : cell;
        CellPlace place;
        HRESULT hr = FreeCell(large, place);
        if (hr != D3D_OK)
            return hr;
        hr = WriteCell(place, useCell, large ? geometry_.largeLevels : geometry_.cellLevels, bitmap);
        if (FAILED(hr))
            return hr;
        glyph.texture = place.sheet->texture;
        glyph.box = {LONG(place.x), LONG(place.y), LONG(place.x + std::min(UINT(bitmap.width), useCell)),
                     LONG(place.y + std::min(UINT(bitmap.rows), useCell))};
        glyph.offset = {bitmap.left, bitmap.top};
    }
    const auto stored = glyphs_.insert_or_assign(key, glyph);
    if (entry)
        *entry = &stored.first->second;
    return D3D_OK;
}
