// Span functions specialised for the state combinations the program draws most: the model's two
// modulating stages with a 16-bit depth test, and single-stage drawing (sprites, the shadow
// preview and floor, grid lines). They give the same pixels as the general function; anything
// they do not cover goes to it.

#include "platform/d3d9/PixelOps.h"

namespace {

constexpr DWORD kWhite = 0xFFFFFFFFu;

// What a single stage's colour or alpha comes from.
enum class Source { Texture, Diffuse, TextureTimesDiffuse, Unsupported };

bool IsPlain(DWORD arg, DWORD what) {
    return arg == what;
}

bool IsDiffuseAtStageZero(DWORD arg) {
    return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT;
}

Source SourceOf(DWORD arg) {
    if (IsPlain(arg, D3DTA_TEXTURE))
        return Source::Texture;
    if (IsDiffuseAtStageZero(arg))
        return Source::Diffuse;
    return Source::Unsupported;
}

Source StageZeroSource(DWORD op, const DWORD* args, bool alpha) {
    switch (op) {
    case D3DTOP_DISABLE:
        return alpha ? Source::Diffuse : Source::Unsupported;
    case D3DTOP_SELECTARG1:
        return SourceOf(args[1]);
    case D3DTOP_SELECTARG2:
        return SourceOf(args[2]);
    case D3DTOP_MODULATE: {
        const Source a = SourceOf(args[1]), b = SourceOf(args[2]);
        if ((a == Source::Texture && b == Source::Diffuse) || (a == Source::Diffuse && b == Source::Texture))
            return Source::TextureTimesDiffuse;
        return Source::Unsupported;
    }
    default:
        return Source::Unsupported;
    }
}

bool SimpleTarget(const PixelSetup& p) {
    return (p.color.format == D3DFMT_X8R8G8B8 || p.color.format == D3DFMT_A8R8G8B8) &&
           p.writeMask == 0xFFFFFFFFu && !p.specularAdd && (!p.depthTest || IsDepth16(p.depth.format));
}

// Samplers the specialised functions handle: no texture, or a flat one read without mip levels.
bool FlatWithoutMips(const SamplerSetup& s) {
    return !s.views || (s.kind == TextureKind::Flat && s.mipFilter == D3DTEXF_NONE);
}

const TexelView* BaseView(const SamplerSetup& s) {
    return s.views ? &s.views[s.baseLevel] : nullptr;
}

DWORD* ColorRow(const PixelSetup& p, int y) {
    return reinterpret_cast<DWORD*>(p.color.bits + size_t(y) * p.color.pitch);
}
WORD* DepthRow(const PixelSetup& p, int y) {
    return reinterpret_cast<WORD*>(p.depth.bits + size_t(y) * p.depth.pitch);
}

DWORD Combine(Source s, DWORD texel, DWORD diffuse) {
    switch (s) {
    case Source::Texture:
        return texel;
    case Source::Diffuse:
        return diffuse;
    default:
        return ModulateColors(texel, diffuse);
    }
}

// ---- The model: stage 0 texture x diffuse (alpha from the texture), stage 1 texture x current ----

bool IsModelSetup(const PixelSetup& p) {
    if (p.stageCount != 2 || !SimpleTarget(p) || p.alphaTest || p.blend.enabled)
        return false;
    const StageSetup& s0 = p.stages[0];
    const StageSetup& s1 = p.stages[1];
    if (s0.resultToTemp || s1.resultToTemp)
        return false;
    if (StageZeroSource(s0.colorOp, s0.colorArg, false) != Source::TextureTimesDiffuse)
        return false;
    if (s0.alphaOp != D3DTOP_SELECTARG1 || s0.alphaArg[1] != D3DTA_TEXTURE)
        return false;
    const bool stage1Modulates = s1.colorOp == D3DTOP_MODULATE &&
                                 ((s1.colorArg[1] == D3DTA_TEXTURE && s1.colorArg[2] == D3DTA_CURRENT) ||
                                  (s1.colorArg[1] == D3DTA_CURRENT && s1.colorArg[2] == D3DTA_TEXTURE));
    if (!stage1Modulates || s1.alphaOp != D3DTOP_DISABLE)
        return false;
    for (int i = 0; i < 2; ++i)
        if (!FlatWithoutMips(p.samplers[i]) || p.stageCoords[i] < 0)
            return false;
    return true;
}

template <bool Depth> void ShadeSpanModel(void* context, const SpanPlanes& pl, int y, int x0, int x1) {
    const PixelSetup& p = *static_cast<const PixelSetup*>(context);
    const float fy = float(y) - pl.originY;
    const float zRow = pl.z[0] + pl.z[2] * fy, qRow = pl.q[0] + pl.q[2] * fy;
    const int c0 = p.stageCoords[0], c1 = p.stageCoords[1];
    float row[kMaxVaryings];
    const int used = std::max(c0, c1) + 3;
    for (int i = 0; i < used; ++i)
        row[i] = pl.base[i] + pl.dy[i] * fy;
    const SamplerSetup& s0 = p.samplers[0];
    const SamplerSetup& s1 = p.samplers[1];
    const TexelView* view0 = BaseView(s0);
    const TexelView* view1 = BaseView(s1);
    DWORD* colors = ColorRow(p, y);
    WORD* depths = Depth ? DepthRow(p, y) : nullptr;
    const DWORD alphaOr = p.color.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    for (int x = x0; x <= x1; ++x) {
        const float fx = float(x) - pl.originX;
        DWORD z = 0;
        if (Depth) {
            z = QuantizeDepth16(zRow + pl.z[1] * fx);
            if (!Compare(p.depthFunc, z, depths[x]))
                continue;
        }
        const float w = 1.0f / (qRow + pl.q[1] * fx);
        auto at = [&](int i) { return (row[i] + pl.dx[i] * fx) * w; };
        const DWORD diffuse = DWORD(ColorToByte(at(3))) << 24 | DWORD(ColorToByte(at(0))) << 16 |
                              DWORD(ColorToByte(at(1))) << 8 | DWORD(ColorToByte(at(2)));
        DWORD t0 = kWhite, t1 = kWhite;
        if (view0) {
            const float coords[3] = {at(c0), at(c0 + 1), at(c0 + 2)};
            t0 = SampleFlat(s0, *view0, coords, pl, c0, w);
        }
        if (view1) {
            const float coords[3] = {at(c1), at(c1 + 1), at(c1 + 2)};
            t1 = SampleFlat(s1, *view1, coords, pl, c1, w);
        }
        const DWORD stage0 = (ModulateColors(t0, diffuse) & 0x00FFFFFFu) | (t0 & 0xFF000000u);
        const DWORD stage1 = (ModulateColors(t1, stage0) & 0x00FFFFFFu) | (stage0 & 0xFF000000u);
        if (Depth && p.depthWrite)
            depths[x] = WORD(z);
        colors[x] = stage1 | alphaOr;
    }
}

// ---- One stage: texture, diffuse or their product, with optional blending ----

enum class BlendKind { None, SourceAlpha, Multiply, Other };

struct SingleStage {
    Source color, alpha;
};

bool SingleStageSources(const PixelSetup& p, SingleStage* out) {
    if (p.stageCount != 1 || !SimpleTarget(p) || p.stages[0].resultToTemp)
        return false;
    const StageSetup& s = p.stages[0];
    out->color = StageZeroSource(s.colorOp, s.colorArg, false);
    out->alpha = StageZeroSource(s.alphaOp, s.alphaArg, true);
    if (out->color == Source::Unsupported || out->alpha == Source::Unsupported)
        return false;
    return !p.stageSamples[0] || (FlatWithoutMips(p.samplers[0]) && p.stageCoords[0] >= 0);
}

BlendKind KindOfBlend(const BlendSetup& b) {
    if (!b.enabled)
        return BlendKind::None;
    if (b.src == D3DBLEND_SRCALPHA && b.dest == D3DBLEND_INVSRCALPHA && b.op == D3DBLENDOP_ADD &&
        b.srcAlpha == b.src && b.destAlpha == b.dest && b.opAlpha == b.op)
        return BlendKind::SourceAlpha;
    // The shadow floor: the target times the source colour (and alpha).
    if (b.src == D3DBLEND_ZERO && b.dest == D3DBLEND_SRCCOLOR && b.op == D3DBLENDOP_ADD &&
        b.srcAlpha == b.src && b.destAlpha == b.dest && b.opAlpha == b.op)
        return BlendKind::Multiply;
    return BlendKind::Other;
}

template <BlendKind Blend, bool Depth>
void ShadeSpanSingle(void* context, const SpanPlanes& pl, int y, int x0, int x1) {
    const PixelSetup& p = *static_cast<const PixelSetup*>(context);
    SingleStage stage;
    SingleStageSources(p, &stage);
    const bool sampling = p.stageSamples[0];
    const SamplerSetup& s = p.samplers[0];
    const TexelView* view = sampling ? BaseView(s) : nullptr;
    const int c = p.stageCoords[0];
    const float fy = float(y) - pl.originY;
    const float zRow = pl.z[0] + pl.z[2] * fy, qRow = pl.q[0] + pl.q[2] * fy;
    float row[kMaxVaryings];
    for (int i = 0; i < pl.count; ++i)
        row[i] = pl.base[i] + pl.dy[i] * fy;
    DWORD* colors = ColorRow(p, y);
    WORD* depths = Depth ? DepthRow(p, y) : nullptr;
    const DWORD alphaOr = p.color.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    // Along a span of constant 1/w (screen-space quads), w and an unchanging diffuse colour are
    // worked out once.
    const bool constantW = pl.q[1] == 0.0f;
    const float spanW = 1.0f / (qRow + pl.q[1] * (float(x0) - pl.originX));
    const bool constantDiffuse =
        constantW && pl.dx[0] == 0.0f && pl.dx[1] == 0.0f && pl.dx[2] == 0.0f && pl.dx[3] == 0.0f;
    const DWORD spanDiffuse = DWORD(ColorToByte(row[3] * spanW)) << 24 |
                              DWORD(ColorToByte(row[0] * spanW)) << 16 |
                              DWORD(ColorToByte(row[1] * spanW)) << 8 | DWORD(ColorToByte(row[2] * spanW));
    for (int x = x0; x <= x1; ++x) {
        const float fx = float(x) - pl.originX;
        DWORD z = 0;
        if (Depth) {
            z = QuantizeDepth16(zRow + pl.z[1] * fx);
            if (!Compare(p.depthFunc, z, depths[x]))
                continue;
        }
        const float w = constantW ? spanW : 1.0f / (qRow + pl.q[1] * fx);
        auto at = [&](int i) { return (row[i] + pl.dx[i] * fx) * w; };
        const DWORD diffuse = constantDiffuse
                                  ? spanDiffuse
                                  : DWORD(ColorToByte(at(3))) << 24 | DWORD(ColorToByte(at(0))) << 16 |
                                        DWORD(ColorToByte(at(1))) << 8 | DWORD(ColorToByte(at(2)));
        DWORD texel = kWhite;
        if (view) {
            const float coords[3] = {at(c), at(c + 1), at(c + 2)};
            texel = SampleFlat(s, *view, coords, pl, c, w);
        }
        DWORD out = (Combine(stage.color, texel, diffuse) & 0x00FFFFFFu) |
                    (Combine(stage.alpha, texel, diffuse) & 0xFF000000u);
        if (p.alphaTest && !Compare(p.alphaFunc, out >> 24, p.alphaRef))
            continue;
        if (Depth && p.depthWrite)
            depths[x] = WORD(z);
        if (Blend == BlendKind::SourceAlpha) {
            out = BlendSourceAlpha(out, colors[x] | alphaOr);
        } else if (Blend == BlendKind::Multiply) {
            out = ModulateColors(colors[x] | alphaOr, out);
        } else if (Blend == BlendKind::Other) {
            out = BlendColors(p.blend, out, colors[x] | alphaOr);
        }
        colors[x] = out | alphaOr;
    }
}

template <BlendKind Blend> SpanFunction PickDepth(bool depth) {
    return depth ? ShadeSpanSingle<Blend, true> : ShadeSpanSingle<Blend, false>;
}

SpanFunction PickBlend(BlendKind blend, bool depth) {
    switch (blend) {
    case BlendKind::None:
        return PickDepth<BlendKind::None>(depth);
    case BlendKind::SourceAlpha:
        return PickDepth<BlendKind::SourceAlpha>(depth);
    case BlendKind::Multiply:
        return PickDepth<BlendKind::Multiply>(depth);
    default:
        return PickDepth<BlendKind::Other>(depth);
    }
}

} // namespace

SpanFunction ChooseSpanFunction(const PixelSetup& p) {
    if (IsModelSetup(p))
        return p.depthTest ? ShadeSpanModel<true> : ShadeSpanModel<false>;
    SingleStage stage;
    if (SingleStageSources(p, &stage))
        return PickBlend(KindOfBlend(p.blend), p.depthTest);
    return ShadeSpanGeneral;
}
