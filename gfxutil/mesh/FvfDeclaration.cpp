#include "gfxutil/mesh/D3DX9Mesh.h"
#include "platform/d3d9/Direct3D9.h"

#include <algorithm>

namespace {

constexpr DWORD kKnownFvfBits = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                                D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK | D3DFVF_LASTBETA_UBYTE4 |
                                D3DFVF_LASTBETA_D3DCOLOR | 0xFFFF0000u;

struct VertexPart {
    BYTE type;
    BYTE usage;
    BYTE usageIndex;
};

// The parts of an FVF vertex in memory order; at most 1 + 2 + 5 + 8 of them.
struct FvfParts {
    VertexPart part[16];
    UINT count = 0;
    void Add(BYTE type, BYTE usage, BYTE usageIndex = 0) { part[count++] = {type, usage, usageIndex}; }
};

BYTE FloatType(UINT components) {
    return BYTE(D3DDECLTYPE_FLOAT1 + components - 1);
}

UINT TextureCoordinateComponents(DWORD fvf, UINT set) {
    switch ((fvf >> (16 + 2 * set)) & 3) {
    case D3DFVF_TEXTUREFORMAT1:
        return 1;
    case D3DFVF_TEXTUREFORMAT3:
        return 3;
    case D3DFVF_TEXTUREFORMAT4:
        return 4;
    default:
        return 2;
    }
}

// Number of floats after the position of an XYZB1 .. XYZB5 vertex; 0 for other positions.
UINT BetaCount(DWORD position) {
    if (position < D3DFVF_XYZB1 || position > D3DFVF_XYZB5)
        return 0;
    return (position - D3DFVF_XYZRHW) / 2;
}

bool ValidFvfBits(DWORD fvf) {
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    const DWORD lastBeta = fvf & (D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR);
    if ((fvf & ~kKnownFvfBits) != 0 || (fvf & D3DFVF_RESERVED0) != 0)
        return false;
    if ((position & 0x4000) != 0 && position != D3DFVF_XYZW)
        return false;
    if (((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT) > 8)
        return false;
    if (lastBeta == (D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR))
        return false;
    return lastBeta == 0 || BetaCount(position) != 0;
}

bool AddPositionParts(DWORD fvf, FvfParts& parts) {
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZRHW) {
        parts.Add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT);
        return true;
    }
    if (position == D3DFVF_XYZW) {
        parts.Add(D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION);
        return true;
    }
    if (position == 0)
        return true;
    parts.Add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION);
    UINT weights = BetaCount(position);
    BYTE indexType = D3DDECLTYPE_UNUSED;
    if (fvf & D3DFVF_LASTBETA_UBYTE4)
        indexType = D3DDECLTYPE_UBYTE4;
    else if (fvf & D3DFVF_LASTBETA_D3DCOLOR)
        indexType = D3DDECLTYPE_D3DCOLOR;
    if (indexType != D3DDECLTYPE_UNUSED)
        --weights;
    if (weights > 4)
        return false; // five weights have no declaration type
    if (weights > 0)
        parts.Add(FloatType(weights), D3DDECLUSAGE_BLENDWEIGHT);
    if (indexType != D3DDECLTYPE_UNUSED)
        parts.Add(indexType, D3DDECLUSAGE_BLENDINDICES);
    return true;
}

bool PartsFromFvf(DWORD fvf, FvfParts& parts) {
    if (!ValidFvfBits(fvf) || !AddPositionParts(fvf, parts))
        return false;
    if (fvf & D3DFVF_NORMAL)
        parts.Add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL);
    if (fvf & D3DFVF_PSIZE)
        parts.Add(D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE);
    if (fvf & D3DFVF_DIFFUSE)
        parts.Add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    if (fvf & D3DFVF_SPECULAR)
        parts.Add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
    const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (UINT set = 0; set < sets; ++set)
        parts.Add(FloatType(TextureCoordinateComponents(fvf, set)), D3DDECLUSAGE_TEXCOORD, BYTE(set));
    return true;
}

DWORD TextureFormatBits(BYTE type, UINT set) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1:
        return D3DFVF_TEXCOORDSIZE1(set);
    case D3DDECLTYPE_FLOAT3:
        return D3DFVF_TEXCOORDSIZE3(set);
    case D3DDECLTYPE_FLOAT4:
        return D3DFVF_TEXCOORDSIZE4(set);
    default:
        return D3DFVF_TEXCOORDSIZE2(set);
    }
}

DWORD PositionBits(const D3DVERTEXELEMENT9& element) {
    if (element.Usage == D3DDECLUSAGE_POSITIONT)
        return D3DFVF_XYZRHW;
    return element.Type == D3DDECLTYPE_FLOAT4 ? D3DFVF_XYZW : D3DFVF_XYZ;
}

DWORD PositionWithBetas(DWORD betas) {
    return D3DFVF_XYZRHW + 2 * betas;
}

// Blend weights and indices turn XYZ into XYZBn.
DWORD BlendBits(const D3DVERTEXELEMENT9& element, DWORD fvf) {
    const DWORD rest = fvf & ~D3DFVF_POSITION_MASK;
    if (element.Usage == D3DDECLUSAGE_BLENDWEIGHT)
        return rest | PositionWithBetas(std::min<DWORD>(element.Type - D3DDECLTYPE_FLOAT1 + 1, 4));
    const DWORD lastBeta =
        element.Type == D3DDECLTYPE_UBYTE4 ? D3DFVF_LASTBETA_UBYTE4 : D3DFVF_LASTBETA_D3DCOLOR;
    return rest | PositionWithBetas(std::min<DWORD>(BetaCount(fvf & D3DFVF_POSITION_MASK) + 1, 5)) | lastBeta;
}

// A guess at the FVF code from the element usages; the caller checks it by converting back.
DWORD GuessFvf(const D3DVERTEXELEMENT9* declaration, UINT length) {
    DWORD fvf = 0;
    UINT sets = 0;
    for (UINT i = 0; i < length; ++i) {
        const D3DVERTEXELEMENT9& element = declaration[i];
        switch (element.Usage) {
        case D3DDECLUSAGE_POSITION:
        case D3DDECLUSAGE_POSITIONT:
            fvf |= PositionBits(element);
            break;
        case D3DDECLUSAGE_BLENDWEIGHT:
        case D3DDECLUSAGE_BLENDINDICES:
            fvf = BlendBits(element, fvf);
            break;
        case D3DDECLUSAGE_NORMAL:
            fvf |= D3DFVF_NORMAL;
            break;
        case D3DDECLUSAGE_PSIZE:
            fvf |= D3DFVF_PSIZE;
            break;
        case D3DDECLUSAGE_COLOR:
            fvf |= element.UsageIndex == 0 ? D3DFVF_DIFFUSE : D3DFVF_SPECULAR;
            break;
        case D3DDECLUSAGE_TEXCOORD:
            if (sets == 8)
                return 0;
            fvf |= TextureFormatBits(element.Type, sets);
            ++sets;
            break;
        default:
            return 0;
        }
    }
    return fvf | (sets << D3DFVF_TEXCOUNT_SHIFT);
}

bool SameElement(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b) {
    return a.Stream == b.Stream && a.Offset == b.Offset && a.Type == b.Type && a.Method == b.Method &&
           a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

} // namespace

HRESULT D3DXDeclaratorFromFVF(DWORD fvf, D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) {
    if (!declaration)
        return D3DERR_INVALIDCALL;
    FvfParts parts;
    if (!PartsFromFvf(fvf, parts))
        return D3DERR_INVALIDCALL;
    UINT offset = 0;
    for (UINT i = 0; i < parts.count; ++i) {
        const VertexPart& part = parts.part[i];
        declaration[i] = {0, WORD(offset), part.type, D3DDECLMETHOD_DEFAULT, part.usage, part.usageIndex};
        offset += DeclTypeSize(part.type);
    }
    declaration[parts.count] = D3DDECL_END();
    return D3D_OK;
}

HRESULT D3DXFVFFromDeclarator(const D3DVERTEXELEMENT9* declaration, DWORD* fvf) {
    if (!declaration || !fvf)
        return D3DERR_INVALIDCALL;
    const UINT length = D3DXGetDeclLength(declaration);
    if (length == MAX_FVF_DECL_SIZE)
        return D3DERR_INVALIDCALL;
    const DWORD guess = GuessFvf(declaration, length);
    D3DVERTEXELEMENT9 expected[MAX_FVF_DECL_SIZE];
    if (FAILED(D3DXDeclaratorFromFVF(guess, expected)) || D3DXGetDeclLength(expected) != length)
        return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < length; ++i)
        if (!SameElement(expected[i], declaration[i]))
            return D3DERR_INVALIDCALL;
    *fvf = guess;
    return D3D_OK;
}

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    if (!ValidFvfBits(fvf))
        return 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    UINT size = 0;
    if (position == D3DFVF_XYZRHW || position == D3DFVF_XYZW)
        size = 16;
    else if (position != 0)
        size = 12 + 4 * BetaCount(position);
    size += (fvf & D3DFVF_NORMAL) ? 12 : 0;
    size += (fvf & D3DFVF_PSIZE) ? 4 : 0;
    size += (fvf & D3DFVF_DIFFUSE) ? 4 : 0;
    size += (fvf & D3DFVF_SPECULAR) ? 4 : 0;
    const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (UINT set = 0; set < sets; ++set)
        size += 4 * TextureCoordinateComponents(fvf, set);
    return size;
}

UINT D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* declaration, DWORD stream) {
    if (!declaration)
        return 0;
    const UINT length = D3DXGetDeclLength(declaration);
    UINT size = 0;
    for (UINT i = 0; i < length; ++i)
        if (declaration[i].Stream == stream)
            size = std::max(size, UINT(declaration[i].Offset) + DeclTypeSize(declaration[i].Type));
    return size;
}

UINT D3DXGetDeclLength(const D3DVERTEXELEMENT9* declaration) {
    if (!declaration)
        return 0;
    UINT length = 0;
    while (length < MAX_FVF_DECL_SIZE && declaration[length].Stream != 0xFF)
        ++length;
    return length;
}
