#include "platform/d3d9/OutputMerger.h"

#include <algorithm>

namespace {

// The factor for one channel (0 r, 1 g, 2 b, 3 a).
int Factor(DWORD blend, int ch, const Rgba& s, const Rgba& d, const Rgba& f) {
    auto pick = [ch](const Rgba& c) { return ch == 0 ? c.r : ch == 1 ? c.g : ch == 2 ? c.b : c.a; };
    switch (blend) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_ONE:
        return 255;
    case D3DBLEND_SRCCOLOR:
        return pick(s);
    case D3DBLEND_INVSRCCOLOR:
        return 255 - pick(s);
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_BOTHSRCALPHA:
        return s.a;
    case D3DBLEND_INVSRCALPHA:
    case D3DBLEND_BOTHINVSRCALPHA:
        return 255 - s.a;
    case D3DBLEND_DESTALPHA:
        return d.a;
    case D3DBLEND_INVDESTALPHA:
        return 255 - d.a;
    case D3DBLEND_DESTCOLOR:
        return pick(d);
    case D3DBLEND_INVDESTCOLOR:
        return 255 - pick(d);
    case D3DBLEND_SRCALPHASAT:
        return ch == 3 ? 255 : std::min(s.a, 255 - d.a);
    case D3DBLEND_BLENDFACTOR:
        return pick(f);
    case D3DBLEND_INVBLENDFACTOR:
        return 255 - pick(f);
    default:
        return 255;
    }
}

int Combine(DWORD op, int s, int d) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT:
        return std::max(0, s - d);
    case D3DBLENDOP_REVSUBTRACT:
        return std::max(0, d - s);
    case D3DBLENDOP_MIN:
        return std::min(s, d);
    case D3DBLENDOP_MAX:
        return std::max(s, d);
    default:
        return std::min(255, s + d);
    }
}

int BlendChannel(DWORD srcBlend, DWORD destBlend, DWORD op, int ch, const Rgba& s, const Rgba& d,
                 const Rgba& f) {
    // BOTHSRCALPHA and BOTHINVSRCALPHA set the destination factor as well.
    if (srcBlend == D3DBLEND_BOTHSRCALPHA)
        destBlend = D3DBLEND_INVSRCALPHA;
    else if (srcBlend == D3DBLEND_BOTHINVSRCALPHA)
        destBlend = D3DBLEND_SRCALPHA;
    auto pick = [ch](const Rgba& c) { return ch == 0 ? c.r : ch == 1 ? c.g : ch == 2 ? c.b : c.a; };
    if (op == D3DBLENDOP_MIN || op == D3DBLENDOP_MAX)
        return Combine(op, pick(s), pick(d)); // factors do not apply to MIN and MAX
    const int sf = Factor(srcBlend, ch, s, d, f);
    const int df = Factor(destBlend, ch, s, d, f);
    return Combine(op, Mul255(pick(s), sf), Mul255(pick(d), df));
}

} // namespace

BlendSetup ReadBlendSetup(const DWORD* rs) {
    BlendSetup b;
    b.enabled = rs[D3DRS_ALPHABLENDENABLE] != 0;
    b.src = rs[D3DRS_SRCBLEND];
    b.dest = rs[D3DRS_DESTBLEND];
    b.op = rs[D3DRS_BLENDOP];
    if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
        b.srcAlpha = rs[D3DRS_SRCBLENDALPHA];
        b.destAlpha = rs[D3DRS_DESTBLENDALPHA];
        b.opAlpha = rs[D3DRS_BLENDOPALPHA];
    } else {
        b.srcAlpha = b.src;
        b.destAlpha = b.dest;
        b.opAlpha = b.op;
    }
    b.factor = UnpackColor(rs[D3DRS_BLENDFACTOR]);
    return b;
}

DWORD BlendColors(const BlendSetup& b, DWORD source, DWORD dest) {
    const Rgba s = UnpackColor(source), d = UnpackColor(dest);
    Rgba out;
    out.r = BlendChannel(b.src, b.dest, b.op, 0, s, d, b.factor);
    out.g = BlendChannel(b.src, b.dest, b.op, 1, s, d, b.factor);
    out.b = BlendChannel(b.src, b.dest, b.op, 2, s, d, b.factor);
    out.a = BlendChannel(b.srcAlpha, b.destAlpha, b.opAlpha, 3, s, d, b.factor);
    return PackColor(out);
}

DWORD QuantizeDepth(float z, D3DFORMAT format) {
    if (!(z > 0.0f))
        z = 0.0f;
    if (z > 1.0f)
        z = 1.0f;
    if (IsDepth16(format))
        return DWORD(z * 65535.0f + 0.5f);
    if (format == D3DFMT_D32)
        return DWORD(double(z) * 4294967295.0 + 0.5);
    return DWORD(double(z) * 16777215.0 + 0.5) << 8;
}

DWORD ColorWriteMaskBits(DWORD enable) {
    DWORD mask = 0;
    if (enable & D3DCOLORWRITEENABLE_RED)
        mask |= 0x00FF0000u;
    if (enable & D3DCOLORWRITEENABLE_GREEN)
        mask |= 0x0000FF00u;
    if (enable & D3DCOLORWRITEENABLE_BLUE)
        mask |= 0x000000FFu;
    if (enable & D3DCOLORWRITEENABLE_ALPHA)
        mask |= 0xFF000000u;
    return mask;
}
