// Span functions specialised for the state combinations the program draws most: a first stage
// that takes the texture, the diffuse colour, their product or the texture factor minus the
// diffuse colour, optionally followed by a second stage that modulates with its texture (the
// model, the grid, the light marker, the shadow pass, the floor, the preview, sprites), with a
// 16-bit depth test or none, and no blending, source-alpha blending or multiplying blending. They
// give the same pixels as the general function; anything else goes to it.

#include "platform/d3d9/PixelOps.h"
#include "platform/d3d9/SpanLanes.h"

namespace {

constexpr DWORD kWhite = 0xFFFFFFFFu;

// What the first stage's colour or alpha comes from.
enum class Source { Texture, Diffuse, TextureTimesDiffuse, FactorMinusDiffuse, Unsupported };

bool IsDiffuseAtStageZero(DWORD arg) {
    return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT;
}

Source SourceOf(DWORD arg) {
    if (arg == D3DTA_TEXTURE)
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
    case D3DTOP_SUBTRACT:
        if (args[1] == D3DTA_TFACTOR && IsDiffuseAtStageZero(args[2]))
            return Source::FactorMinusDiffuse;
        return Source::Unsupported;
    default:
        return Source::Unsupported;
    }
}

// Per-channel max(0, a - b).
DWORD SubtractColors(DWORD a, DWORD b) {
#if defined(__SSE2__)
    return DWORD(_mm_cvtsi128_si32(_mm_subs_epu8(_mm_cvtsi32_si128(int(a)), _mm_cvtsi32_si128(int(b)))));
#else
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 255) - int((b >> shift) & 255);
        out |= DWORD(d > 0 ? d : 0) << shift;
    }
    return out;
#endif
}

DWORD Evaluate(Source s, DWORD texel, DWORD diffuse, DWORD factor) {
    switch (s) {
    case Source::Texture:
        return texel;
    case Source::Diffuse:
        return diffuse;
    case Source::TextureTimesDiffuse:
        return ModulateColors(texel, diffuse);
    default:
        return SubtractColors(factor, diffuse);
    }
}

bool SimpleTarget(const PixelSetup& p) {
    return (p.color.format == D3DFMT_X8R8G8B8 || p.color.format == D3DFMT_A8R8G8B8) &&
           p.writeMask == 0xFFFFFFFFu && !p.specularAdd && !p.stencilTest &&
           (!p.depthTest || IsDepth16(p.depth.format));
}

bool SamplerFits(const PixelSetup& p, int stage) {
    return !p.stageSamples[stage] || p.stageCoords[stage] >= 0;
}

// A second stage that multiplies the current colour by its texture and keeps the current alpha.
bool IsModulatingSecondStage(const StageSetup& s) {
    const bool modulates =
        s.colorOp == D3DTOP_MODULATE && ((s.colorArg[1] == D3DTA_TEXTURE && s.colorArg[2] == D3DTA_CURRENT) ||
                                         (s.colorArg[1] == D3DTA_CURRENT && s.colorArg[2] == D3DTA_TEXTURE));
    return modulates && s.alphaOp == D3DTOP_DISABLE && !s.resultToTemp;
}

enum class BlendKind { None, SourceAlpha, Multiply, Other };

BlendKind KindOfBlend(const BlendSetup& b) {
    if (!b.enabled)
        return BlendKind::None;
    const bool sameForAlpha = b.srcAlpha == b.src && b.destAlpha == b.dest && b.opAlpha == b.op;
    if (!sameForAlpha || b.op != D3DBLENDOP_ADD)
        return BlendKind::Other;
    if (b.src == D3DBLEND_SRCALPHA && b.dest == D3DBLEND_INVSRCALPHA)
        return BlendKind::SourceAlpha;
    if (b.src == D3DBLEND_ZERO && b.dest == D3DBLEND_SRCCOLOR) // the shadow floor: target x source
        return BlendKind::Multiply;
    return BlendKind::Other;
}

struct FastStages {
    Source color, alpha;
    bool second;
};

bool FastStagesOf(const PixelSetup& p, FastStages* out) {
    if (p.stageCount < 1 || p.stageCount > 2 || !SimpleTarget(p) || p.stages[0].resultToTemp)
        return false;
    const StageSetup& s0 = p.stages[0];
    out->color = StageZeroSource(s0.colorOp, s0.colorArg, false);
    out->alpha = StageZeroSource(s0.alphaOp, s0.alphaArg, true);
    out->second = p.stageCount == 2;
    if (out->color == Source::Unsupported || out->alpha == Source::Unsupported || !SamplerFits(p, 0))
        return false;
    return !out->second || (IsModulatingSecondStage(p.stages[1]) && SamplerFits(p, 1));
}

// The per-pixel tests and writes, copied out of the setup for the same reason as SpanSampler.
struct SpanTests {
    bool alphaTest, depthWrite;
    DWORD alphaFunc, alphaRef, depthFunc;
};

SpanTests SpanTestsOf(const PixelSetup& p) {
    return {p.alphaTest, p.depthWrite, p.alphaFunc, p.alphaRef, p.depthFunc};
}

LaneSampler LaneSamplerOf(const SpanSampler& s, const SpanCoords& c) {
    LaneSampler out;
    out.active = s.setup != nullptr;
    if (!out.active)
        return out;
    out.derivatives = s.needsDerivatives;
    for (int i = 0; i < 3; ++i) {
        out.row[i] = c.row[i];
        out.dx[i] = c.dx[i];
        out.dy[i] = c.dy[i];
    }
    out.qdx = c.qdx;
    out.qdy = c.qdy;
    out.width = float(s.view.width);
    out.height = float(s.view.height);
    out.depth = float(s.view.depth);
    out.threshold = s.minificationThreshold;
    if (s.wrapsPow2) {
        out.texels = s.view.texels;
        out.orMask = s.view.orMask;
        out.maskX = s.view.width - 1;
        out.maskY = s.view.height - 1;
        out.pitch = s.view.pitch;
        out.magLinear = s.magFilter == D3DTEXF_LINEAR || s.magFilter == D3DTEXF_ANISOTROPIC;
        out.minLinear = s.minFilter == D3DTEXF_LINEAR || s.minFilter == D3DTEXF_ANISOTROPIC;
    }
    return out;
}

// A texel of a flat texture read without mip levels, its filter chosen by the lanes.
[[gnu::always_inline]] inline DWORD SampleLane(const SpanSampler& s, const LaneResults& r, int k, int i) {
    if (s.wrapsPow2)
        return r.texel[k][i];
    const DWORD filter = s.needsDerivatives && r.minified[k][i] ? s.minFilter : s.magFilter;
    return FilterSample(s, filter, r.u[k][i], r.v[k][i]);
}

template <BlendKind Blend, bool Depth, bool Second>
void ShadeSpanFast(void* context, const SpanPlanes& pl, int y, int x0, int x1) {
    const PixelSetup& p = *static_cast<const PixelSetup*>(context);
    const Source colorSource = static_cast<Source>(p.singleColorSource);
    const Source alphaSource = static_cast<Source>(p.singleAlphaSource);
    const bool texelOnly = colorSource == Source::Texture && alphaSource == Source::Texture; // the floor
    const DWORD factor = PackColor(p.textureFactor);
    const SpanSampler sampler0 = SpanSamplerOf(p.samplers[0], p.stageSamples[0]);
    const SpanSampler sampler1 = Second ? SpanSamplerOf(p.samplers[1], p.stageSamples[1]) : SpanSampler{};
    const SpanTests tests = SpanTestsOf(p);
    const float fy = float(y) - pl.originY;
    const float zRow = pl.z[0] + pl.z[2] * fy, qRow = pl.q[0] + pl.q[2] * fy;
    float row[kMaxVaryings];
    for (int i = 0; i < pl.count; ++i)
        row[i] = pl.base[i] + pl.dy[i] * fy;
    const SpanCoords coords0 = sampler0.setup ? SpanCoordsOf(pl, row, p.stageCoords[0]) : SpanCoords{};
    const SpanCoords coords1 = sampler1.setup ? SpanCoordsOf(pl, row, p.stageCoords[1]) : SpanCoords{};
    // Along a span of constant 1/w (screen-space quads) w is worked out once; so is a diffuse
    // colour that is the same at every vertex or does not change along the span.
    const bool constantW = pl.q[1] == 0.0f;
    const float spanW = constantW ? 1.0f / (qRow + pl.q[1] * (float(x0) - pl.originX)) : 0.0f;
    const bool constantDiffuse = pl.flatDiffuse || (constantW && pl.dx[0] == 0.0f && pl.dx[1] == 0.0f &&
                                                    pl.dx[2] == 0.0f && pl.dx[3] == 0.0f);
    DWORD spanDiffuse = 0;
    if (constantDiffuse) {
        float d[4];
        for (int i = 0; i < 4; ++i)
            d[i] = pl.flatDiffuse ? pl.diffuse[i] : row[i] * spanW;
        spanDiffuse = DWORD(ColorToByte(d[3])) << 24 | DWORD(ColorToByte(d[0])) << 16 |
                      DWORD(ColorToByte(d[1])) << 8 | DWORD(ColorToByte(d[2]));
    }
    DWORD* colors = reinterpret_cast<DWORD*>(p.color.bits + size_t(y) * p.color.pitch);
    WORD* depths = Depth ? reinterpret_cast<WORD*>(p.depth.bits + size_t(y) * p.depth.pitch) : nullptr;
    const DWORD alphaOr = p.color.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;

    // Mip-mapped, cube and volume textures take the per-pixel loop below, and so do spans too
    // short to fill the lanes.
    constexpr int kShortSpan = 4;
    const bool lanes = !sampler0.general && !sampler1.general && x1 - x0 + 1 >= kShortSpan;
    LaneSetup laneSetup;
    LaneResults r;
    LaneFunction computeLanes = nullptr;
    if (lanes) {
        laneSetup.originX = pl.originX;
        laneSetup.depth = Depth;
        laneSetup.zRow = zRow;
        laneSetup.zdx = pl.z[1];
        laneSetup.constantW = constantW;
        laneSetup.spanW = spanW;
        laneSetup.qRow = qRow;
        laneSetup.qdx = pl.q[1];
        laneSetup.diffuse = !constantDiffuse && !texelOnly;
        for (int i = 0; i < 4; ++i) {
            laneSetup.diffuseRow[i] = row[i];
            laneSetup.diffuseDx[i] = pl.dx[i];
        }
        laneSetup.sampler[0] = LaneSamplerOf(sampler0, coords0);
        laneSetup.sampler[1] = LaneSamplerOf(sampler1, coords1);
        computeLanes = p.laneFunction;
        // Without an alpha test and with a blend the lanes know, they finish the pixels too.
        LaneShading& h = laneSetup.shading;
        h.enabled = !tests.alphaTest && Blend != BlendKind::Other &&
                    (!sampler0.setup || sampler0.wrapsPow2) && (!sampler1.setup || sampler1.wrapsPow2);
        if (h.enabled) {
            h.color = int(colorSource);
            h.alpha = int(alphaSource);
            h.second = Second && sampler1.setup;
            h.blend = Blend == BlendKind::Multiply      ? kLaneMultiply
                      : Blend == BlendKind::SourceAlpha ? kLaneSourceAlpha
                                                        : kLaneOpaque;
            h.depthFunc = tests.depthFunc;
            h.depthWrite = Depth && tests.depthWrite;
            h.factor = factor;
            h.spanDiffuse = spanDiffuse;
            h.alphaOr = alphaOr;
            h.colors = colors;
            h.depths = depths;
            h.last = x1;
            for (int x = x0; x <= x1; x += kSpanLanes)
                computeLanes(laneSetup, x, r);
            return;
        }
    }
    for (int x = x0; x <= x1; ++x) {
        const int lane = (x - x0) % kSpanLanes;
        if (lanes && lane == 0)
            computeLanes(laneSetup, x, r);
        const float fx = float(x) - pl.originX;
        DWORD z = 0;
        if (Depth) {
            z = lanes ? r.z[lane] : QuantizeDepth16(zRow + pl.z[1] * fx);
            if (!Compare(tests.depthFunc, z, depths[x]))
                continue;
        }
        const float w = lanes ? r.w[lane] : constantW ? spanW : 1.0f / (qRow + pl.q[1] * fx);
        auto at = [&](int i) { return (row[i] + pl.dx[i] * fx) * w; };
        DWORD diffuse = spanDiffuse;
        if (!constantDiffuse && !texelOnly)
            diffuse = lanes ? r.diffuse[lane]
                            : DWORD(ColorToByte(at(3))) << 24 | DWORD(ColorToByte(at(0))) << 16 |
                                  DWORD(ColorToByte(at(1))) << 8 | DWORD(ColorToByte(at(2)));
        DWORD texel0 = kWhite;
        if (sampler0.setup)
            texel0 = lanes ? SampleLane(sampler0, r, 0, lane) : SampleFlat(sampler0, coords0, fx, w);
        DWORD out = texelOnly ? texel0
                              : (Evaluate(colorSource, texel0, diffuse, factor) & 0x00FFFFFFu) |
                                    (Evaluate(alphaSource, texel0, diffuse, factor) & 0xFF000000u);
        if (Second && sampler1.setup) { // without a texture the second stage multiplies by white: no change
            const DWORD texel1 =
                lanes ? SampleLane(sampler1, r, 1, lane) : SampleFlat(sampler1, coords1, fx, w);
            out = (ModulateColors(texel1, out) & 0x00FFFFFFu) | (out & 0xFF000000u);
        }
        if (tests.alphaTest && !Compare(tests.alphaFunc, out >> 24, tests.alphaRef))
            continue;
        if (Depth && tests.depthWrite)
            depths[x] = WORD(z);
        if (Blend == BlendKind::SourceAlpha)
            out = BlendSourceAlpha(out, colors[x] | alphaOr);
        else if (Blend == BlendKind::Multiply)
            out = ModulateColors(colors[x] | alphaOr, out);
        else if (Blend == BlendKind::Other)
            out = BlendColors(p.blend, out, colors[x] | alphaOr);
        colors[x] = out | alphaOr;
    }
}

template <BlendKind Blend, bool Depth> SpanFunction PickStages(bool second) {
    return second ? ShadeSpanFast<Blend, Depth, true> : ShadeSpanFast<Blend, Depth, false>;
}

template <BlendKind Blend> SpanFunction PickDepth(bool depth, bool second) {
    return depth ? PickStages<Blend, true>(second) : PickStages<Blend, false>(second);
}

SpanFunction PickBlend(BlendKind blend, bool depth, bool second) {
    switch (blend) {
    case BlendKind::None:
        return PickDepth<BlendKind::None>(depth, second);
    case BlendKind::SourceAlpha:
        return PickDepth<BlendKind::SourceAlpha>(depth, second);
    case BlendKind::Multiply:
        return PickDepth<BlendKind::Multiply>(depth, second);
    default:
        return PickDepth<BlendKind::Other>(depth, second);
    }
}

} // namespace

SpanFunction ChooseSpanFunction(PixelSetup& p) {
    FastStages stages;
    if (!FastStagesOf(p, &stages))
        return ShadeSpanGeneral;
    p.laneFunction = ChooseLaneFunction();
    p.singleColorSource = int(stages.color);
    p.singleAlphaSource = int(stages.alpha);
    return PickBlend(KindOfBlend(p.blend), p.depthTest, stages.second);
}
