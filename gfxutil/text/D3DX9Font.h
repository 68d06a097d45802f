#pragma once
// Text drawing with the D3DX 9 names and values: the font object that rasterises glyphs into
// textures and draws strings, and the sprite object that draws textured screen quads in batches.

#include "gfxutil/math/D3DXMath.h"
#include "platform/d3d9/Direct3D9.h"

// UTF-16 text, as the wide-character entry points take it.
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;
// The font's rasterising context; opaque to callers.
using HDC = struct HDC__*;

// ---- Font description values ----
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE HANGUL_CHARSET = 129;

constexpr UINT FW_DONTCARE = 0;
constexpr UINT FW_THIN = 100;
constexpr UINT FW_EXTRALIGHT = 200;
constexpr UINT FW_LIGHT = 300;
constexpr UINT FW_NORMAL = 400;
constexpr UINT FW_MEDIUM = 500;
constexpr UINT FW_SEMIBOLD = 600;
constexpr UINT FW_BOLD = 700;
constexpr UINT FW_EXTRABOLD = 800;
constexpr UINT FW_HEAVY = 900;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_PRECIS = 4;

constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

constexpr UINT LF_FACESIZE = 32;

// ---- Text formatting flags ----
constexpr DWORD DT_TOP = 0x0;
constexpr DWORD DT_LEFT = 0x0;
constexpr DWORD DT_CENTER = 0x1;
constexpr DWORD DT_RIGHT = 0x2;
constexpr DWORD DT_VCENTER = 0x4;
constexpr DWORD DT_BOTTOM = 0x8;
constexpr DWORD DT_WORDBREAK = 0x10;
constexpr DWORD DT_SINGLELINE = 0x20;
constexpr DWORD DT_EXPANDTABS = 0x40;
constexpr DWORD DT_TABSTOP = 0x80;
constexpr DWORD DT_NOCLIP = 0x100;
constexpr DWORD DT_EXTERNALLEADING = 0x200;
constexpr DWORD DT_CALCRECT = 0x400;
constexpr DWORD DT_NOPREFIX = 0x800;
constexpr DWORD DT_RTLREADING = 0x20000;

// ---- Sprite flags ----
constexpr DWORD D3DXSPRITE_DONOTSAVESTATE = 0x1;
constexpr DWORD D3DXSPRITE_DONOTMODIFY_RENDERSTATE = 0x2;
constexpr DWORD D3DXSPRITE_OBJECTSPACE = 0x4;
constexpr DWORD D3DXSPRITE_BILLBOARD = 0x8;
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;
constexpr DWORD D3DXSPRITE_SORT_TEXTURE = 0x20;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_FRONTTOBACK = 0x40;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_BACKTOFRONT = 0x80;

struct D3DXFONT_DESCA {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    char FaceName[LF_FACESIZE];
};
static_assert(sizeof(D3DXFONT_DESCA) == 56);

struct D3DXFONT_DESCW {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    WCHAR FaceName[LF_FACESIZE];
};
static_assert(sizeof(D3DXFONT_DESCW) == 88);

constexpr IID IID_ID3DXSprite = {
    0xBA0B762D, 0x7D28, 0x43EC, {0xB9, 0xDC, 0x2F, 0x84, 0x44, 0x3B, 0x06, 0x14}};
constexpr IID IID_ID3DXFont = {0xD79DBB70, 0x5F21, 0x4D36, {0xBB, 0xC2, 0xFF, 0x52, 0x5C, 0x21, 0x3C, 0xDC}};

// Draws textured, colour-modulated quads, collected between Begin and End and drawn in batches.
struct ID3DXSprite : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* pTransform) = 0;
    virtual HRESULT SetTransform(const D3DXMATRIX* pTransform) = 0;
    virtual HRESULT SetWorldViewRH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
    virtual HRESULT SetWorldViewLH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
    virtual HRESULT Begin(DWORD Flags) = 0;
    virtual HRESULT Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect, const D3DXVECTOR3* pCenter,
                         const D3DXVECTOR3* pPosition, D3DCOLOR Color) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

// A font whose glyphs are rasterised once into textures and drawn through a sprite.
struct ID3DXFont : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetDescA(D3DXFONT_DESCA* pDesc) = 0;
    virtual HRESULT GetDescW(D3DXFONT_DESCW* pDesc) = 0;
    virtual HDC GetDC() = 0;
    virtual HRESULT GetGlyphData(UINT Glyph, IDirect3DTexture9** ppTexture, RECT* pBlackBox,
                                 POINT* pCellInc) = 0;
    virtual HRESULT PreloadCharacters(UINT First, UINT Last) = 0;
    virtual HRESULT PreloadGlyphs(UINT First, UINT Last) = 0;
    virtual HRESULT PreloadTextA(const char* pString, INT Count) = 0;
    virtual HRESULT PreloadTextW(LPCWSTR pString, INT Count) = 0;
    virtual INT DrawTextA(ID3DXSprite* pSprite, const char* pString, INT Count, RECT* pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual INT DrawTextW(ID3DXSprite* pSprite, LPCWSTR pString, INT Count, RECT* pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

using LPD3DXFONT = ID3DXFont*;
using LPD3DXSPRITE = ID3DXSprite*;

HRESULT D3DXCreateFontA(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                        BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality,
                        DWORD PitchAndFamily, const char* pFaceName, ID3DXFont** ppFont);

HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* pDevice, const D3DXFONT_DESCA* pDesc, ID3DXFont** ppFont);

HRESULT D3DXCreateSprite(IDirect3DDevice9* pDevice, ID3DXSprite** ppSprite);
