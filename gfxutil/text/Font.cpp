#include "gfxutil/text/Font.h"

#include "gfxutil/text/TextDecoding.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr UINT kLastCodePoint = 0x10FFFF;
constexpr DWORD kOwnSpriteFlags = D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE;

// At most 31 characters of the name, always terminated.
void CopyFaceName(char (&out)[LF_FACESIZE], const char* name) {
    std::memset(out, 0, sizeof(out));
    if (!name)
        return;
    std::size_t n = 0;
    while (n < LF_FACESIZE - 1 && name[n] != '\0')
        ++n;
    std::memcpy(out, name, n);
}

bool IsMonochrome(BYTE quality) {
    return (quality & 7) == NONANTIALIASED_QUALITY;
}

FontRequest RequestFor(const D3DXFONT_DESCA& desc) {
    FontRequest request;
    request.faceName = desc.FaceName;
    request.height = desc.Height;
    request.width = desc.Width;
    request.weight = desc.Weight;
    request.italic = desc.Italic != FALSE;
    request.monochrome = IsMonochrome(desc.Quality);
    request.charSet = desc.CharSet;
    request.pitchAndFamily = desc.PitchAndFamily;
    return request;
}

} // namespace

HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels,
                        BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                        DWORD pitchAndFamily, const char* faceName, ID3DXFont** font) {
    D3DXFONT_DESCA desc{};
    desc.Height = height;
    desc.Width = width;
    desc.Weight = weight;
    desc.MipLevels = mipLevels;
    desc.Italic = italic;
    desc.CharSet = BYTE(charSet);
    desc.OutputPrecision = BYTE(outputPrecision);
    desc.Quality = BYTE(quality);
    desc.PitchAndFamily = BYTE(pitchAndFamily);
    CopyFaceName(desc.FaceName, faceName);
    return D3DXCreateFontIndirectA(device, &desc, font);
}

HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* device, const D3DXFONT_DESCA* pDesc, ID3DXFont** font) {
    if (!device || !pDesc || !font)
        return D3DERR_INVALIDCALL;
    *font = nullptr;
    D3DXFONT_DESCA desc = *pDesc;
    // The caller's name need not be terminated within the field.
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, pDesc->FaceName, LF_FACESIZE);
    CopyFaceName(desc.FaceName, name);
    if ((desc.Quality & 7) == 0)
        desc.Quality |= ANTIALIASED_QUALITY;

    FontFaces::OpenError error = FontFaces::OpenError::None;
    std::unique_ptr<FontFaces> faces = FontFaces::Open(RequestFor(desc), &error);
    // A size no glyph texture could hold is the device's limit, as for any other oversized cell.
    if (!faces)
        return error == FontFaces::OpenError::SizeTooLarge ? D3DXERR_INVALIDDATA : E_OUTOFMEMORY;
    CellGeometry geometry = ComputeCellGeometry(faces->Metrics(), desc.MipLevels);
    const HRESULT hr = CheckGlyphTextures(device, geometry);
    if (FAILED(hr))
        return hr;
    *font = new (std::nothrow) Font(device, desc, std::move(faces), geometry);
    return *font ? D3D_OK : E_OUTOFMEMORY;
}

std::size_t GlyphsRasterised(ID3DXFont* font) {
    const auto* ours = dynamic_cast<const Font*>(font);
    return ours ? ours->GlyphsRasterised() : 0;
}

Font::Font(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc, std::unique_ptr<FontFaces> faces,
           const CellGeometry& geometry)
    : device_(device), desc_(desc), faces_(std::move(faces)),
      cache_(std::make_unique<GlyphCache>(device, geometry)) {
    device_->AddRef();
}

Font::~Font() {
    if (ownSprite_)
        ownSprite_->Release();
    cache_.reset(); // the glyph textures go before the device they belong to
    device_->Release();
}

HRESULT Font::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ID3DXFont) {
        AddRef();
        *object = static_cast<ID3DXFont*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Font::AddRef() {
    return ++refs_;
}

ULONG Font::Release() {
    const ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Font::GetDevice(IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Font::GetDescA(D3DXFONT_DESCA* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

HRESULT Font::GetDescW(D3DXFONT_DESCW* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Height = desc_.Height;
    desc->Width = desc_.Width;
    desc->Weight = desc_.Weight;
    desc->MipLevels = desc_.MipLevels;
    desc->Italic = desc_.Italic;
    desc->CharSet = desc_.CharSet;
    desc->OutputPrecision = desc_.OutputPrecision;
    desc->Quality = desc_.Quality;
    desc->PitchAndFamily = desc_.PitchAndFamily;
    std::fill(std::begin(desc->FaceName), std::end(desc->FaceName), u'\0');
    const std::u32string name = DecodeUtf8(desc_.FaceName, std::strlen(desc_.FaceName));
    std::size_t n = 0;
    for (char32_t c : name) {
        const bool pair = c > 0xFFFF;
        if (n + (pair ? 2 : 1) > LF_FACESIZE - 1)
            break;
        if (pair) {
            desc->FaceName[n++] = char16_t(0xD800 + ((c - 0x10000) >> 10));
            desc->FaceName[n++] = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            desc->FaceName[n++] = char16_t(c);
        }
    }
    return D3D_OK;
}

HDC Font::GetDC() {
    // There is no GDI context; the faces object stands in as the font's rasterising context.
    return reinterpret_cast<HDC>(faces_.get());
}

HRESULT Font::CachedGlyphFor(GlyphId glyph, ID3DXSprite* drawingSprite, const CachedGlyph** entry) {
    *entry = cache_->Find(glyph.Key());
    if (*entry)
        return D3D_OK;
    const GlyphBitmap bitmap = faces_->Render(glyph);
    HRESULT hr = cache_->Insert(glyph.Key(), bitmap, entry);
    if (hr == S_FALSE) {
        // Every cell is taken: draw what is queued before its cells are filled again.
        if (drawingSprite)
            drawingSprite->Flush();
        cache_->Clear();
        hr = cache_->Insert(glyph.Key(), bitmap, entry);
    }
    return hr == S_FALSE ? E_OUTOFMEMORY : hr;
}

HRESULT Font::GetGlyphData(UINT glyph, IDirect3DTexture9** texture, RECT* blackBox, POINT* cellInc) {
    if (glyph >= faces_->Metrics().glyphCount)
        return D3DERR_INVALIDCALL;
    const CachedGlyph* entry = nullptr;
    const HRESULT hr = CachedGlyphFor(GlyphId{0, glyph}, nullptr, &entry);
    if (FAILED(hr))
        return hr;
    if (texture) {
        *texture = entry->texture;
        if (*texture)
            (*texture)->AddRef();
    }
    if (blackBox)
        *blackBox = entry->box;
    if (cellInc)
        *cellInc = entry->offset;
    return D3D_OK;
}

HRESULT Font::PreloadCharacters(UINT first, UINT last) {
    if (first > last)
        return D3D_OK;
    last = std::min(last, kLastCodePoint);
    for (UINT c = first; c <= last; ++c) {
        const CachedGlyph* entry = nullptr;
        const HRESULT hr = CachedGlyphFor(faces_->GlyphFor(char32_t(c)), nullptr, &entry);
        if (FAILED(hr))
            return hr;
    }
    return D3D_OK;
}

HRESULT Font::PreloadGlyphs(UINT first, UINT last) {
    const UINT count = faces_->Metrics().glyphCount;
    if (first > last || count == 0)
        return D3D_OK;
    last = std::min(last, count - 1);
    for (UINT g = first; g <= last; ++g) {
        const CachedGlyph* entry = nullptr;
        const HRESULT hr = CachedGlyphFor(GlyphId{0, g}, nullptr, &entry);
        if (FAILED(hr))
            return hr;
    }
    return D3D_OK;
}

HRESULT Font::PreloadCodePoints(const std::u32string& text) {
    for (char32_t c : text) {
        const CachedGlyph* entry = nullptr;
        const HRESULT hr = CachedGlyphFor(faces_->GlyphFor(c), nullptr, &entry);
        if (FAILED(hr))
            return hr;
    }
    return D3D_OK;
}

HRESULT Font::PreloadTextA(const char* text, INT count) {
    if (!text)
        return D3DERR_INVALIDCALL;
    return PreloadCodePoints(DecodeUtf8(text, TextLength(text, count)));
}

HRESULT Font::PreloadTextW(LPCWSTR text, INT count) {
    if (!text)
        return D3DERR_INVALIDCALL;
    return PreloadCodePoints(DecodeUtf16(text, TextLength(text, count)));
}

INT Font::DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                    D3DCOLOR color) {
    if (!text)
        return 0;
    return DrawCodePoints(sprite, DecodeUtf8(text, TextLength(text, count)), rect, format, color);
}

INT Font::DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, RECT* rect, DWORD format, D3DCOLOR color) {
    if (!text)
        return 0;
    return DrawCodePoints(sprite, DecodeUtf16(text, TextLength(text, count)), rect, format, color);
}

namespace {

// Cuts a glyph's box on screen to the clip rectangle, trimming its texture box to match.
bool ClipGlyph(const RECT& clip, LONG& left, LONG& top, RECT& box) {
    const long long width = box.right - box.left;
    const long long height = box.bottom - box.top;
    const long long cutLeft = std::clamp<long long>((long long)clip.left - left, 0, width);
    const long long cutTop = std::clamp<long long>((long long)clip.top - top, 0, height);
    const long long cutRight = std::clamp<long long>((long long)left + width - clip.right, 0, width);
    const long long cutBottom = std::clamp<long long>((long long)top + height - clip.bottom, 0, height);
    if (cutLeft + cutRight >= width || cutTop + cutBottom >= height)
        return false;
    box = {box.left + LONG(cutLeft), box.top + LONG(cutTop), box.right - LONG(cutRight),
           box.bottom - LONG(cutBottom)};
    left += LONG(cutLeft);
    top += LONG(cutTop);
    return true;
}

} // namespace

HRESULT Font::DrawBlock(ID3DXSprite* sprite, const TextBlock& block, const RECT& clip, bool clipped,
                        D3DCOLOR color) {
    for (const PlacedGlyph& placed : block.glyphs) {
        const CachedGlyph* entry = nullptr;
        const HRESULT hr = CachedGlyphFor(placed.glyph, sprite, &entry);
        if (FAILED(hr))
            return hr;
        if (!entry->texture)
            continue;
        RECT box = entry->box;
        LONG left = placed.x + entry->offset.x;
        LONG top = placed.y + entry->offset.y;
        if (clipped && !ClipGlyph(clip, left, top, box))
            continue;
        const float halfWidth = float(box.right - box.left) / 2.0f;
        const float halfHeight = float(box.bottom - box.top) / 2.0f;
        const D3DXVECTOR3 center(halfWidth, halfHeight, 0.0f);
        const D3DXVECTOR3 position(float(left) + halfWidth, float(top) + halfHeight, 0.0f);
        sprite->Draw(entry->texture, &box, &center, &position, color);
    }
    return D3D_OK;
}

INT Font::DrawCodePoints(ID3DXSprite* sprite, const std::u32string& text, RECT* rect, DWORD format,
                         D3DCOLOR color) {
    RECT area{0, 0, 0, 0};
    if (rect)
        area = *rect;
    else if (format & DT_CALCRECT)
        return 0;
    else
        format |= DT_NOCLIP;

    const TextBlock block = LayOutText(text, area, format, *this);
    if (format & DT_CALCRECT) {
        *rect = block.extent;
        return block.height;
    }
    if (block.glyphs.empty())
        return block.height;

    const bool own = sprite == nullptr;
    if (own) {
        if (!ownSprite_ && FAILED(D3DXCreateSprite(device_, &ownSprite_)))
            return 0;
        sprite = ownSprite_;
        if (FAILED(sprite->Begin(kOwnSpriteFlags)))
            return 0;
    }
    HRESULT hr = DrawBlock(sprite, block, area, !(format & DT_NOCLIP), color);
    if (own) {
        const HRESULT ended = sprite->End();
        if (SUCCEEDED(hr))
            hr = ended;
    }
    return SUCCEEDED(hr) ? block.height : 0;
}

HRESULT Font::OnLostDevice() {
    return ownSprite_ ? ownSprite_->OnLostDevice() : D3D_OK;
}

HRESULT Font::OnResetDevice() {
    return ownSprite_ ? ownSprite_->OnResetDevice() : D3D_OK;
}
