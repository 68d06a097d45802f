// Span functions specialised for the state combinations the program draws most: a first stage
// that takes the texture, the diffuse colour, their product or the texture factor minus the
// diffuse colour, optionally followed by a second stage that modulates with its texture (the
// model, the grid, the light marker, the shadow pass, the floor, the preview, sprites), with a
// 16-bit depth test or none, and no blending, source-alpha blending or multiplying blending. They
// give the same pixels as the general function; anything else goes to it.

#include "platform/d3d9/PixelOps.h"
#include "platform/d3d9/SpanLanes.h"

#include <new>

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

DWORD SampleMinifiedLane(const void* setup, const float* coords, const float* d) {
    return SampleTexture(*static_cast<const SamplerSetup*>(setup), coords,
                         {d[0], d[1], d[2], d[3], d[4], d[5]});
}

bool ClampsBoth(const SpanSampler& s) {
    return s.addressU == D3DTADDRESS_CLAMP && s.addressV == D3DTADDRESS_CLAMP;
}

// A mip-mapped flat texture whose pixels are minified exactly where the footprint passes one
// texel (no level-of-detail bias): the lanes read its magnified pixels.
bool MipMappedInLanes(const SpanSampler& s) {
    return s.setup->kind == TextureKind::Flat && s.setup->lodBias == 0.0f;
}

// Whether the lanes read a sampler's texels.
bool TexelsInLanes(const SpanSampler& s) {
    if (!s.setup)
        return true;
    const bool addressed = s.view.width > 0 && s.view.height > 0 && (s.wrapsPow2 || ClampsBoth(s));
    return addressed && (!s.general || MipMappedInLanes(s));
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
    if (TexelsInLanes(s)) {
        out.texels = s.view.texels;
        out.orMask = s.view.orMask;
        out.clamp = !s.wrapsPow2;
        out.maskX = s.view.width - 1;
        out.maskY = s.view.height - 1;
        out.pitch = s.view.pitch;
        out.magLinear = s.magFilter == D3DTEXF_LINEAR || s.magFilter == D3DTEXF_ANISOTROPIC;
        out.minLinear = s.minFilter == D3DTEXF_LINEAR || s.minFilter == D3DTEXF_ANISOTROPIC;
        if (s.general) {
            out.minifiedSample = SampleMinifiedLane;
            out.samplerSetup = s.setup;
        }
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

constexpr int kLaneBlend[] = {kLaneOpaque, kLaneSourceAlpha, kLaneMultiply, kLaneOpaque};

// What the spans of one primitive share, worked out at its first span.
struct PrimitiveSpans {
    Source colorSource, alphaSource;
    bool texelOnly; // the floor
    DWORD factor;
    SpanSampler sampler0, sampler1;
    SpanTests tests;
    // Along a span of constant 1/w (screen-space quads) w is worked out once; so is a diffuse
    // colour that is the same at every vertex or does not change along the span.
    bool constantW, constantDiffuse;
    DWORD flatDiffuse;           // the diffuse colour of a primitive with one colour
    bool lanes;                  // mip-mapped, cube and volume textures take the per-pixel loop
    LaneSpanFunction shadeLanes; // the lanes finish the pixels too (null: they do not)
    LaneSetup laneSetup;         // each span fills in its row
};
static_assert(sizeof(PrimitiveSpans) <= SpanPlanes::kPreparedBytes);

DWORD PackDiffuse(const float* d) {
    return DWORD(ColorToByte(d[3])) << 24 | DWORD(ColorToByte(d[0])) << 16 | DWORD(ColorToByte(d[1])) << 8 |
           DWORD(ColorToByte(d[2]));
}

template <BlendKind Blend, bool Second>
void PreparePrimitive(const PixelSetup& p, const SpanPlanes& pl, PrimitiveSpans& t) {
    t.colorSource = static_cast<Source>(p.singleColorSource);
    t.alphaSource = static_cast<Source>(p.singleAlphaSource);
    t.texelOnly = t.colorSource == Source::Texture && t.alphaSource == Source::Texture;
    t.factor = PackColor(p.textureFactor);
    t.sampler0 = SpanSamplerOf(p.samplers[0], p.stageSamples[0]);
    t.sampler1 = Second ? SpanSamplerOf(p.samplers[1], p.stageSamples[1]) : SpanSampler{};
    t.tests = SpanTestsOf(p);
    t.constantW = pl.q[1] == 0.0f;
    t.constantDiffuse = pl.flatDiffuse || (t.constantW && pl.dx[0] == 0.0f && pl.dx[1] == 0.0f &&
                                           pl.dx[2] == 0.0f && pl.dx[3] == 0.0f);
    t.flatDiffuse = pl.flatDiffuse ? PackDiffuse(pl.diffuse) : 0;
    t.lanes = !t.sampler0.general && !t.sampler1.general;
    const bool shadeInLanes =
        Blend != BlendKind::Other && TexelsInLanes(t.sampler0) && TexelsInLanes(t.sampler1);
    t.shadeLanes = shadeInLanes ? p.laneSpan : nullptr;
    if (!t.lanes && !shadeInLanes)
        return;
    LaneSetup& l = t.laneSetup;
    l = LaneSetup{};
    l.originX = pl.originX;
    l.depth = p.depthTest;
    l.zdx = pl.z[1];
    l.constantW = t.constantW;
    l.qdx = pl.q[1];
    l.diffuse = !t.constantDiffuse && !t.texelOnly;
    for (int i = 0; i < 4; ++i)
        l.diffuseDx[i] = pl.dx[i];
    const SpanCoords none{};
    l.sampler[0] =
        LaneSamplerOf(t.sampler0, t.sampler0.setup ? SpanCoordsOf(pl, pl.base, p.stageCoords[0]) : none);
    l.sampler[1] =
        LaneSamplerOf(t.sampler1, t.sampler1.setup ? SpanCoordsOf(pl, pl.base, p.stageCoords[1]) : none);
    LaneShading& h = l.shading;
    h.color = int(t.colorSource);
    h.alpha = int(t.alphaSource);
    h.second = Second && t.sampler1.setup;
    h.blend = kLaneBlend[int(Blend)];
    h.depthFunc = t.tests.depthFunc;
    h.depthWrite = p.depthTest && t.tests.depthWrite;
    h.alphaTest = t.tests.alphaTest;
    h.alphaFunc = t.tests.alphaFunc;
    h.alphaRef = t.tests.alphaRef;
    h.factor = t.factor;
    h.alphaOr = p.color.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    h.rowWidth = p.depthTest && p.depth.width < p.color.width ? p.depth.width : p.color.width;
}

template <BlendKind Blend, bool Depth, bool Second>
void ShadeSpanFast(void* context, const SpanPlanes& pl, int y, int x0, int x1) {
    const PixelSetup& p = *static_cast<const PixelSetup*>(context);
    if (pl.preparedFor != context) {
        PreparePrimitive<Blend, Second>(p, pl, *new (pl.prepared) PrimitiveSpans);
        pl.preparedFor = context;
    }
    PrimitiveSpans& t = *std::launder(reinterpret_cast<PrimitiveSpans*>(pl.prepared));
    const float fy = float(y) - pl.originY;
    const float zRow = pl.z[0] + pl.z[2] * fy, qRow = pl.q[0] + pl.q[2] * fy;
    auto rowOf = [&](int i) { return pl.base[i] + pl.dy[i] * fy; };
    const float spanW = t.constantW ? 1.0f / (qRow + pl.q[1] * (float(x0) - pl.originX)) : 0.0f;
    DWORD spanDiffuse = t.flatDiffuse;
    if (t.constantDiffuse && !pl.flatDiffuse) {
        float d[4];
        for (int i = 0; i < 4; ++i)
            d[i] = rowOf(i) * spanW;
        spanDiffuse = PackDiffuse(d);
    }
    DWORD* colors = reinterpret_cast<DWORD*>(p.color.bits + size_t(y) * p.color.pitch);
    WORD* depths = Depth ? reinterpret_cast<WORD*>(p.depth.bits + size_t(y) * p.depth.pitch) : nullptr;

    // Spans too short to fill the lanes take the per-pixel loop unless the lanes finish them.
    constexpr int kShortSpan = 4;
    const bool lanes = t.lanes && x1 - x0 + 1 >= kShortSpan;
    LaneSetup& l = t.laneSetup;
    if (lanes || t.shadeLanes) {
        l.zRow = zRow;
        l.qRow = qRow;
        l.spanW = spanW;
        if (l.diffuse)
            for (int i = 0; i < 4; ++i)
                l.diffuseRow[i] = rowOf(i);
        for (int k = 0; k < 1 + int(Second); ++k)
            if (l.sampler[k].active)
                for (int i = 0; i < 3; ++i)
                    l.sampler[k].row[i] = rowOf(p.stageCoords[k] + i);
        if (t.shadeLanes) {
            l.shading.spanDiffuse = spanDiffuse;
            l.shading.colors = colors;
            l.shading.depths = depths;
            t.shadeLanes(l, x0, x1);
            return;
        }
    }
    const SpanSampler& sampler0 = t.sampler0;
    const SpanSampler& sampler1 = t.sampler1;
    float row[kMaxVaryings];
    for (int i = 0; i < pl.count; ++i)
        row[i] = rowOf(i);
    const SpanCoords coords0 = sampler0.setup ? SpanCoordsOf(pl, row, p.stageCoords[0]) : SpanCoords{};
    const SpanCoords coords1 = sampler1.setup ? SpanCoordsOf(pl, row, p.stageCoords[1]) : SpanCoords{};
    const SpanTests tests = t.tests;
    const Source colorSource = t.colorSource, alphaSource = t.alphaSource;
    const bool texelOnly = t.texelOnly, constantW = t.constantW, constantDiffuse = t.constantDiffuse;
    const DWORD factor = t.factor;
    const DWORD alphaOr = p.color.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    LaneResults r;
    for (int x = x0; x <= x1; ++x) {
        const int lane = (x - x0) % kSpanLanes;
        if (lanes && lane == 0)
            p.laneFunction(l, x, r);
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
    const BlendKind blend = KindOfBlend(p.blend);
    p.laneFunction = ChooseLaneFunction();
    p.laneSpan = ChooseLaneSpanFunction(kLaneBlend[int(blend)], p.depthTest, stages.second);
    p.singleColorSource = int(stages.color);
    p.singleAlphaSource = int(stages.alpha);
    return PickBlend(blend, p.depthTest, stages.second);
}
