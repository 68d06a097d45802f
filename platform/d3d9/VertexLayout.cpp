#include "platform/d3d9/VertexLayout.h"

#include <cstring>

namespace {

float ReadFloat(const BYTE* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

std::int16_t ReadShort(const BYTE* p) {
    std::int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

float HalfToFloat(WORD h) {
    const DWORD sign = DWORD(h >> 15) << 31;
    const int exponent = (h >> 10) & 31;
    const DWORD mantissa = h & 1023;
    DWORD bits;
    if (exponent == 0) {
        float v = float(mantissa) / 1024.0f / 16384.0f;
        return sign ? -v : v;
    }
    if (exponent == 31)
        bits = sign | 0x7F800000u | (mantissa << 13);
    else
        bits = sign | (DWORD(exponent - 15 + 127) << 23) | (mantissa << 13);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

int ComponentCount(D3DDECLTYPE type) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1:
        return 1;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_FLOAT16_2:
        return 2;
    case D3DDECLTYPE_FLOAT3:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N:
        return 3;
    default:
        return 4;
    }
}

void SetRef(VertexElementRef& ref, int stream, UINT offset, D3DDECLTYPE type) {
    ref.present = true;
    ref.stream = stream;
    ref.offset = offset;
    ref.type = type;
    ref.components = ComponentCount(type);
}

} // namespace

UINT DeclTypeSize(BYTE type) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1:
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_UBYTE4N:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N:
    case D3DDECLTYPE_FLOAT16_2:
        return 4;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT4:
    case D3DDECLTYPE_SHORT4N:
    case D3DDECLTYPE_USHORT4N:
    case D3DDECLTYPE_FLOAT16_4:
        return 8;
    case D3DDECLTYPE_FLOAT3:
        return 12;
    case D3DDECLTYPE_FLOAT4:
        return 16;
    default:
        return 0;
    }
}

void ReadElement(const BYTE* p, D3DDECLTYPE type, float out[4]) {
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    switch (type) {
    case D3DDECLTYPE_FLOAT4:
        out[3] = ReadFloat(p + 12);
        [[fallthrough]];
    case D3DDECLTYPE_FLOAT3:
        out[2] = ReadFloat(p + 8);
        [[fallthrough]];
    case D3DDECLTYPE_FLOAT2:
        out[1] = ReadFloat(p + 4);
        [[fallthrough]];
    case D3DDECLTYPE_FLOAT1:
        out[0] = ReadFloat(p);
        break;
    case D3DDECLTYPE_D3DCOLOR:
        out[0] = p[2] / 255.0f;
        out[1] = p[1] / 255.0f;
        out[2] = p[0] / 255.0f;
        out[3] = p[3] / 255.0f;
        break;
    case D3DDECLTYPE_UBYTE4:
        for (int i = 0; i < 4; ++i)
            out[i] = p[i];
        break;
    case D3DDECLTYPE_UBYTE4N:
        for (int i = 0; i < 4; ++i)
            out[i] = p[i] / 255.0f;
        break;
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT4:
        for (int i = 0; i < (type == D3DDECLTYPE_SHORT2 ? 2 : 4); ++i)
            out[i] = ReadShort(p + 2 * i);
        break;
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_SHORT4N:
        for (int i = 0; i < (type == D3DDECLTYPE_SHORT2N ? 2 : 4); ++i)
            out[i] = ReadShort(p + 2 * i) / 32767.0f;
        break;
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_USHORT4N:
        for (int i = 0; i < (type == D3DDECLTYPE_USHORT2N ? 2 : 4); ++i)
            out[i] = WORD(ReadShort(p + 2 * i)) / 65535.0f;
        break;
    case D3DDECLTYPE_UDEC3: {
        DWORD v;
        std::memcpy(&v, p, 4);
        out[0] = float(v & 1023);
        out[1] = float((v >> 10) & 1023);
        out[2] = float((v >> 20) & 1023);
        break;
    }
    case D3DDECLTYPE_DEC3N: {
        DWORD v;
        std::memcpy(&v, p, 4);
        for (int i = 0; i < 3; ++i) {
            int c = int((v >> (10 * i)) & 1023);
            if (c >= 512)
                c -= 1024;
            out[i] = c / 511.0f;
        }
        break;
    }
    case D3DDECLTYPE_FLOAT16_2:
    case D3DDECLTYPE_FLOAT16_4:
        for (int i = 0; i < (type == D3DDECLTYPE_FLOAT16_2 ? 2 : 4); ++i)
            out[i] = HalfToFloat(WORD(ReadShort(p + 2 * i)));
        break;
    default:
        break;
    }
}

bool LayoutFromFvf(DWORD fvf, VertexLayout* layout) {
    *layout = VertexLayout{};
    if (fvf & D3DFVF_RESERVED0)
        return false;
    UINT offset = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    switch (position) {
    case D3DFVF_XYZ:
        SetRef(layout->position, 0, 0, D3DDECLTYPE_FLOAT3);
        offset = 12;
        break;
    case D3DFVF_XYZRHW:
        SetRef(layout->position, 0, 0, D3DDECLTYPE_FLOAT4);
        layout->pretransformed = true;
        offset = 16;
        break;
    case D3DFVF_XYZW:
        SetRef(layout->position, 0, 0, D3DDECLTYPE_FLOAT4);
        offset = 16;
        break;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5:
        // Blend weights are stepped over; vertex blending stays off.
        SetRef(layout->position, 0, 0, D3DDECLTYPE_FLOAT3);
        offset = 12 + 4 * ((position - D3DFVF_XYZ) / 2);
        break;
    default:
        return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        SetRef(layout->normal, 0, offset, D3DDECLTYPE_FLOAT3);
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) {
        SetRef(layout->pointSize, 0, offset, D3DDECLTYPE_FLOAT1);
        offset += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        SetRef(layout->diffuse, 0, offset, D3DDECLTYPE_D3DCOLOR);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        SetRef(layout->specular, 0, offset, D3DDECLTYPE_D3DCOLOR);
        offset += 4;
    }
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > DWORD(kMaxTextureCoordinateSets))
        return false;
    static constexpr D3DDECLTYPE kSizeTypes[4] = {D3DDECLTYPE_FLOAT2, D3DDECLTYPE_FLOAT3, D3DDECLTYPE_FLOAT4,
                                                  D3DDECLTYPE_FLOAT1};
    for (DWORD i = 0; i < sets; ++i) {
        const D3DDECLTYPE type = kSizeTypes[(fvf >> (16 + 2 * i)) & 3];
        SetRef(layout->texcoord[i], 0, offset, type);
        offset += DeclTypeSize(type);
    }
    layout->fvfStride = offset;
    return true;
}

bool LayoutFromDeclaration(const D3DVERTEXELEMENT9* elements, UINT count, VertexLayout* layout) {
    *layout = VertexLayout{};
    for (UINT i = 0; i < count; ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream >= kMaxStreams || DeclTypeSize(e.Type) == 0)
            return false;
        const auto type = static_cast<D3DDECLTYPE>(e.Type);
        switch (e.Usage) {
        case D3DDECLUSAGE_POSITION:
        case D3DDECLUSAGE_POSITIONT:
            if (e.UsageIndex == 0) {
                SetRef(layout->position, e.Stream, e.Offset, type);
                layout->pretransformed = e.Usage == D3DDECLUSAGE_POSITIONT;
            }
            break;
        case D3DDECLUSAGE_NORMAL:
            if (e.UsageIndex == 0)
                SetRef(layout->normal, e.Stream, e.Offset, type);
            break;
        case D3DDECLUSAGE_COLOR:
            if (e.UsageIndex == 0)
                SetRef(layout->diffuse, e.Stream, e.Offset, type);
            else if (e.UsageIndex == 1)
                SetRef(layout->specular, e.Stream, e.Offset, type);
            break;
        case D3DDECLUSAGE_PSIZE:
            SetRef(layout->pointSize, e.Stream, e.Offset, type);
            break;
        case D3DDECLUSAGE_TEXCOORD:
            if (e.UsageIndex < kMaxTextureCoordinateSets)
                SetRef(layout->texcoord[e.UsageIndex], e.Stream, e.Offset, type);
            break;
        default:
            break;
        }
    }
    return layout->position.present;
}

UINT DeclarationFromFvf(DWORD fvf, D3DVERTEXELEMENT9* elements, UINT capacity) {
    VertexLayout layout;
    if (!LayoutFromFvf(fvf, &layout))
        return 0;
    UINT n = 0;
    auto add = [&](const VertexElementRef& ref, BYTE usage, BYTE index) {
        if (ref.present && n + 1 < capacity)
            elements[n++] = {0, WORD(ref.offset), BYTE(ref.type), D3DDECLMETHOD_DEFAULT, usage, index};
    };
    add(layout.position, layout.pretransformed ? D3DDECLUSAGE_POSITIONT : D3DDECLUSAGE_POSITION, 0);
    add(layout.normal, D3DDECLUSAGE_NORMAL, 0);
    add(layout.pointSize, D3DDECLUSAGE_PSIZE, 0);
    add(layout.diffuse, D3DDECLUSAGE_COLOR, 0);
    add(layout.specular, D3DDECLUSAGE_COLOR, 1);
    for (int i = 0; i < kMaxTextureCoordinateSets; ++i)
        add(layout.texcoord[i], D3DDECLUSAGE_TEXCOORD, BYTE(i));
    if (n < capacity)
        elements[n++] = D3DDECL_END();
    return n;
}
