#include "platform/d3d9/PixelFormats.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr PixelFormatInfo kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, true, true, false, true},      {D3DFMT_X8R8G8B8, 4, true, true, false, false},
    {D3DFMT_R8G8B8, 3, true, false, false, false},      {D3DFMT_R5G6B5, 2, true, true, false, false},
    {D3DFMT_X1R5G5B5, 2, true, true, false, false},     {D3DFMT_A1R5G5B5, 2, true, true, false, true},
    {D3DFMT_A4R4G4B4, 2, true, false, false, true},     {D3DFMT_X4R4G4B4, 2, true, false, false, false},
    {D3DFMT_R3G3B2, 1, true, false, false, false},      {D3DFMT_A8R3G3B2, 2, true, false, false, true},
    {D3DFMT_A8, 1, true, false, false, true},           {D3DFMT_L8, 1, true, false, false, false},
    {D3DFMT_A8L8, 2, true, false, false, true},         {D3DFMT_A4L4, 1, true, false, false, true},
    {D3DFMT_L16, 2, true, false, false, false},         {D3DFMT_G16R16, 4, true, false, false, false},
    {D3DFMT_A2R10G10B10, 4, true, false, false, true},  {D3DFMT_A2B10G10R10, 4, true, false, false, true},
    {D3DFMT_A8B8G8R8, 4, true, false, false, true},     {D3DFMT_X8B8G8R8, 4, true, false, false, false},
    {D3DFMT_A16B16G16R16, 8, true, false, false, true}, {D3DFMT_R32F, 4, true, false, false, false},
    {D3DFMT_G32R32F, 8, true, false, false, false},     {D3DFMT_A32B32G32R32F, 16, true, false, false, true},
    {D3DFMT_D16, 2, false, false, true, false},         {D3DFMT_D16_LOCKABLE, 2, false, false, true, false},
    {D3DFMT_D24X8, 4, false, false, true, false},       {D3DFMT_D24S8, 4, false, false, true, false},
    {D3DFMT_D32, 4, false, false, true, false},
};

DWORD Pack(DWORD a, DWORD r, DWORD g, DWORD b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

WORD Read16(const BYTE* p) {
    WORD v;
    std::memcpy(&v, p, 2);
    return v;
}
DWORD Read32(const BYTE* p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}
float ReadFloat(const BYTE* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}
DWORD Wide(DWORD v16) {
    return ExpandChannel(v16, 16);
}
DWORD Ten(DWORD v10) {
    return ExpandChannel(v10, 10);
}
DWORD FloatChannel(float f) {
    if (!(f > 0.0f))
        return 0;
    if (f >= 1.0f)
        return 255;
    return static_cast<DWORD>(f * 255.0f + 0.5f);
}

DWORD DecodeOne(D3DFORMAT format, const BYTE* p) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return Read32(p);
    case D3DFMT_X8R8G8B8:
        return Read32(p) | 0xFF000000u;
    case D3DFMT_R8G8B8:
        return Pack(255, p[2], p[1], p[0]);
    case D3DFMT_R5G6B5: {
        const DWORD v = Read16(p);
        return Pack(255, ExpandChannel(v >> 11, 5), ExpandChannel((v >> 5) & 63, 6),
                    ExpandChannel(v & 31, 5));
    }
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
        const DWORD v = Read16(p);
        const DWORD a = (format == D3DFMT_X1R5G5B5 || (v & 0x8000)) ? 255 : 0;
        return Pack(a, ExpandChannel((v >> 10) & 31, 5), ExpandChannel((v >> 5) & 31, 5),
                    ExpandChannel(v & 31, 5));
    }
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: {
        const DWORD v = Read16(p);
        const DWORD a = format == D3DFMT_X4R4G4B4 ? 255 : ExpandChannel(v >> 12, 4);
        return Pack(a, ExpandChannel((v >> 8) & 15, 4), ExpandChannel((v >> 4) & 15, 4),
                    ExpandChannel(v & 15, 4));
    }
    case D3DFMT_R3G3B2:
    case D3DFMT_A8R3G3B2: {
        const DWORD v = p[0];
        const DWORD a = format == D3DFMT_R3G3B2 ? 255 : p[1];
        return Pack(a, ExpandChannel(v >> 5, 3), ExpandChannel((v >> 2) & 7, 3), ExpandChannel(v & 3, 2));
    }
    case D3DFMT_A8:
        return Pack(p[0], 0, 0, 0);
    case D3DFMT_L8:
        return Pack(255, p[0], p[0], p[0]);
    case D3DFMT_A8L8:
        return Pack(p[1], p[0], p[0], p[0]);
    case D3DFMT_A4L4: {
        const DWORD l = ExpandChannel(p[0] & 15, 4);
        return Pack(ExpandChannel(p[0] >> 4, 4), l, l, l);
    }
    case D3DFMT_L16: {
        const DWORD l = Wide(Read16(p));
        return Pack(255, l, l, l);
    }
    case D3DFMT_G16R16: {
        const DWORD v = Read32(p);
        return Pack(255, Wide(v & 0xFFFF), Wide(v >> 16), 255);
    }
    case D3DFMT_A2R10G10B10: {
        const DWORD v = Read32(p);
        return Pack(ExpandChannel(v >> 30, 2), Ten((v >> 20) & 1023), Ten((v >> 10) & 1023), Ten(v & 1023));
    }
    case D3DFMT_A2B10G10R10: {
        const DWORD v = Read32(p);
        return Pack(ExpandChannel(v >> 30, 2), Ten(v & 1023), Ten((v >> 10) & 1023), Ten((v >> 20) & 1023));
    }
    case D3DFMT_A8B8G8R8:
        return Pack(p[3], p[0], p[1], p[2]);
    case D3DFMT_X8B8G8R8:
        return Pack(255, p[0], p[1], p[2]);
    case D3DFMT_A16B16G16R16:
        return Pack(Wide(Read16(p + 6)), Wide(Read16(p)), Wide(Read16(p + 2)), Wide(Read16(p + 4)));
    case D3DFMT_R32F:
        return Pack(255, FloatChannel(ReadFloat(p)), 255, 255);
    case D3DFMT_G32R32F:
        return Pack(255, FloatChannel(ReadFloat(p)), FloatChannel(ReadFloat(p + 4)), 255);
    case D3DFMT_A32B32G32R32F:
        return Pack(FloatChannel(ReadFloat(p + 12)), FloatChannel(ReadFloat(p)),
                    FloatChannel(ReadFloat(p + 4)), FloatChannel(ReadFloat(p + 8)));
    default:
        return 0;
    }
}

void Write16(BYTE* p, DWORD v) {
    const WORD w = static_cast<WORD>(v);
    std::memcpy(p, &w, 2);
}

} // namespace

const PixelFormatInfo* FindPixelFormat(D3DFORMAT format) {
    const auto* it = std::find_if(std::begin(kFormats), std::end(kFormats),
                                  [format](const PixelFormatInfo& info) { return info.format == format; });
    return it == std::end(kFormats) ? nullptr : it;
}

void DecodePixels(D3DFORMAT format, const BYTE* source, DWORD* target, UINT count) {
    const PixelFormatInfo* info = FindPixelFormat(format);
    if (!info || !info->sampled) {
        std::fill_n(target, count, 0u);
        return;
    }
    if (format == D3DFMT_A8R8G8B8) {
        std::memcpy(target, source, size_t(count) * 4);
        return;
    }
    for (UINT i = 0; i < count; ++i)
        target[i] = DecodeOne(format, source + size_t(i) * info->bytesPerPixel);
}

void EncodePixels(D3DFORMAT format, const DWORD* source, BYTE* target, UINT count) {
    for (UINT i = 0; i < count; ++i) {
        const DWORD c = source[i];
        const DWORD a = c >> 24, r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
        switch (format) {
        case D3DFMT_A8R8G8B8:
            std::memcpy(target + i * 4, &c, 4);
            break;
        case D3DFMT_X8R8G8B8: {
            const DWORD x = c | 0xFF000000u;
            std::memcpy(target + i * 4, &x, 4);
            break;
        }
        case D3DFMT_R5G6B5:
            Write16(target + i * 2,
                    (ReduceChannel(r, 5) << 11) | (ReduceChannel(g, 6) << 5) | ReduceChannel(b, 5));
            break;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5: {
            const DWORD top = (format == D3DFMT_X1R5G5B5 || a >= 128) ? 0x8000 : 0;
            Write16(target + i * 2,
                    top | (ReduceChannel(r, 5) << 10) | (ReduceChannel(g, 5) << 5) | ReduceChannel(b, 5));
            break;
        }
        default:
            break;
        }
    }
}
