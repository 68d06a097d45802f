// The specialised span functions must give exactly the pixels of the general one.

#include "platform/d3d9/PixelPipeline.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

struct Buffers {
    std::vector<DWORD> color;
    std::vector<WORD> depth;
};

class SpanShaderTest : public ::testing::Test {
protected:
    static constexpr int kSize = 48;

    void SetUp() override {
        std::mt19937 random(7);
        for (auto* texels : {&texels0, &texels1}) {
            texels->resize(16 * 8);
            for (DWORD& t : *texels)
                t = random();
        }
        views[0] = {texels0.data(), 16, 8, 1, 16, 128, 0};
        views[1] = {texels1.data(), 16, 8, 1, 16, 128, 0xFF000000u};
        start.color.resize(kSize * kSize);
        start.depth.resize(kSize * kSize);
        for (DWORD& c : start.color)
            c = random();
        for (WORD& d : start.depth)
            d = WORD(random());
    }

    // A setup with targets pointing into `b`, two stages reading coordinate sets 0 and 1.
    PixelSetup BaseSetup(Buffers& b, D3DFORMAT format, bool depth) {
        PixelSetup p;
        p.color = {reinterpret_cast<BYTE*>(b.color.data()), kSize * 4, kSize, kSize, format};
        p.depth = {reinterpret_cast<BYTE*>(b.depth.data()), kSize * 2, kSize, kSize, D3DFMT_D16};
        p.depthTest = depth;
        p.depthWrite = depth;
        p.depthFunc = D3DCMP_LESSEQUAL;
        p.varyings.count = 4 + 3 + 3;
        p.varyings.texcoord[0] = 4;
        p.varyings.texcoord[1] = 7;
        p.varyings.texComponents[0] = p.varyings.texComponents[1] = 3;
        for (int s = 0; s < 2; ++s) {
            p.samplers[s].views = &views[s];
            p.samplers[s].levels = 1;
            p.stageCoords[s] = 4 + 3 * s;
            p.stageSamples[s] = true;
        }
        return p;
    }

    // Texture coordinates over [-spread, spread] instead of [0, 1] when set.
    float coordinateSpread = 0.0f;
    // Scales the coordinates' steps between pixels (larger: more pixels minified).
    float coordinateSteps = 1.0f;
    // When set, a flat quad whose first coordinate set steps this many texels of a 16 x 8 texture
    // per pixel, as sprites do.
    float spriteStep = 0.0f;

    SpanPlanes Planes(int count, unsigned seed) const {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> small(-0.02f, 0.02f), unit(0.0f, 1.0f);
        SpanPlanes pl;
        pl.originX = 3.5f;
        pl.originY = 2.25f;
        pl.z[0] = unit(random);
        pl.z[1] = small(random);
        pl.z[2] = small(random);
        pl.q[0] = 0.5f + unit(random);
        pl.q[1] = small(random) * 0.1f;
        pl.q[2] = small(random) * 0.1f;
        pl.count = count;
        for (int i = 0; i < count; ++i) {
            pl.base[i] = unit(random) * pl.q[0];
            pl.dx[i] = small(random);
            pl.dy[i] = small(random);
        }
        if (coordinateSpread > 0.0f)
            for (int i = 4; i < count; ++i)
                pl.base[i] = (unit(random) * 2.0f - 1.0f) * coordinateSpread * pl.q[0];
        for (int i = 4; i < count; ++i) {
            pl.dx[i] *= coordinateSteps;
            pl.dy[i] *= coordinateSteps;
        }
        if (spriteStep > 0.0f) {
            pl.q[1] = pl.q[2] = 0.0f;
            pl.dx[4] = pl.q[0] / 16.0f * spriteStep;
            pl.dy[5] = pl.q[0] / 8.0f * spriteStep;
            pl.dy[4] = pl.dx[5] = 0.0f;
        }
        return pl;
    }

    // Runs the chosen and the general function over the same spans and compares the targets.
    void ExpectSameAsGeneral(const std::function<PixelSetup(Buffers&)>& make, bool expectSpecialised) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            Buffers fast = start, general = start;
            PixelSetup pf = make(fast), pg = make(general);
            const SpanFunction chosen = ChooseSpanFunction(pf);
            EXPECT_EQ(chosen != ShadeSpanGeneral, expectSpecialised);
            SpanPlanes planes = Planes(pf.varyings.count, seed);
            if (seed == 3) { // one diffuse colour at every vertex
                planes.flatDiffuse = true;
                for (int i = 0; i < 4; ++i)
                    planes.diffuse[i] = 0.3f + 0.1f * float(i);
            }
            if (seed == 4) {
                planes.q[1] = planes.q[2] = 0.0f; // a screen-space quad
                for (int i = 0; i < 4; ++i)
                    planes.dx[i] = 0.0f;
            }
            for (int y = 0; y < kSize; ++y) {
                chosen(&pf, planes, y, 2, kSize - 3);
                ShadeSpanGeneral(&pg, planes, y, 2, kSize - 3);
            }
            ASSERT_EQ(fast.color, general.color) << "seed " << seed;
            ASSERT_EQ(fast.depth, general.depth) << "seed " << seed;
        }
    }

    std::vector<DWORD> texels0, texels1;
    TexelView views[2];
    Buffers start;
};

StageSetup Stage(DWORD colorOp, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg1, DWORD alphaArg2) {
    StageSetup s;
    s.colorOp = colorOp;
    s.colorArg[1] = arg1;
    s.colorArg[2] = arg2;
    s.alphaOp = alphaOp;
    s.alphaArg[1] = alphaArg1;
    s.alphaArg[2] = alphaArg2;
    return s;
}

// One stage that takes its colour and alpha from the texture and the diffuse colour with `op`.
void OneTextureStage(PixelSetup& p, DWORD op) {
    p.stageCount = 1;
    p.stages[0] = Stage(op, D3DTA_TEXTURE, D3DTA_DIFFUSE, op, D3DTA_TEXTURE, D3DTA_DIFFUSE);
}

// The same blend for colour and alpha.
void SetBlend(PixelSetup& p, DWORD source, DWORD dest) {
    p.blend.enabled = true;
    p.blend.src = p.blend.srcAlpha = source;
    p.blend.dest = p.blend.destAlpha = dest;
}

TEST_F(SpanShaderTest, ModelStagesMatch) {
    for (bool depth : {true, false})
        for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8})
            ExpectSameAsGeneral(
                [&](Buffers& b) {
                    PixelSetup p = BaseSetup(b, format, depth);
                    p.stageCount = 2;
                    p.stages[0] = Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
                                        D3DTA_TEXTURE, D3DTA_CURRENT);
                    p.stages[1] = Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE,
                                        D3DTA_TEXTURE, D3DTA_CURRENT);
                    p.samplers[1].address[0] = D3DTADDRESS_CLAMP;
                    // Stage 0 switches between linear magnification and point minification.
                    p.samplers[0].magFilter = D3DTEXF_LINEAR;
                    p.samplers[0].needsDerivatives = true;
                    p.samplers[0].minificationThreshold = 0.02f;
                    return p;
                },
                true);
}

TEST_F(SpanShaderTest, SingleStageVariantsMatch) {
    struct Variant {
        DWORD colorOp, colorArg1, alphaOp;
    };
    const Variant variants[] = {{D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1},
                                {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTOP_MODULATE},
                                {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTOP_DISABLE},
                                {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTOP_SELECTARG2}};
    const DWORD blends[][2] = {{0, 0},
                               {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                               {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},
                               {D3DBLEND_DESTCOLOR, D3DBLEND_ONE}};
    for (const Variant& v : variants)
        for (const auto& blend : blends)
            for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
                for (bool depth : {true, false})
                    ExpectSameAsGeneral(
                        [&](Buffers& b) {
                            PixelSetup p = BaseSetup(b, D3DFMT_X8R8G8B8, depth);
                            p.stageCount = 1;
                            p.stages[0] = Stage(v.colorOp, v.colorArg1, D3DTA_DIFFUSE, v.alphaOp,
                                                D3DTA_TEXTURE, D3DTA_DIFFUSE);
                            p.samplers[0].magFilter = p.samplers[0].minFilter = filter;
                            if (v.colorOp == D3DTOP_MODULATE) { // mixed filters picked per pixel
                                p.samplers[0].minFilter = D3DTEXF_POINT;
                                p.samplers[0].needsDerivatives = filter == D3DTEXF_LINEAR;
                                p.samplers[0].minificationThreshold = 0.02f;
                            }
                            p.samplers[0].address[1] = D3DTADDRESS_MIRROR;
                            p.blend.enabled = blend[0] != 0;
                            if (p.blend.enabled) {
                                p.blend.src = p.blend.srcAlpha = blend[0];
                                p.blend.dest = p.blend.destAlpha = blend[1];
                            }
                            p.alphaTest = v.alphaOp == D3DTOP_MODULATE;
                            p.alphaFunc = D3DCMP_GREATER;
                            p.alphaRef = 0x40;
                            return p;
                        },
                        true);
}

TEST_F(SpanShaderTest, MipMappedTexturesMatch) {
    // Level 0 is texels0 (16 x 8), level 1 the first 8 x 4 of texels1, blended linearly.
    const TexelView mips[2] = {views[0], {texels1.data(), 8, 4, 1, 8, 32, 0}};
    ExpectSameAsGeneral(
        [&](Buffers& b) {
            PixelSetup p = BaseSetup(b, D3DFMT_A8R8G8B8, true);
            p.stageCount = 1;
            p.stages[0] = Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
                                D3DTA_DIFFUSE);
            SamplerSetup& s = p.samplers[0];
            s.views = mips;
            s.levels = 2;
            s.magFilter = s.minFilter = s.mipFilter = D3DTEXF_LINEAR;
            s.needsDerivatives = true;
            s.lodBias = 3.0f; // pushes most pixels between the two levels
            SetBlend(p, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
            return p;
        },
        true);
}

// The overlay text: a clamped mip-mapped texture without level-of-detail bias, times the diffuse
// colour, blended over the target; magnified pixels, minified ones and both in one group of lanes.
TEST_F(SpanShaderTest, ClampedMipMappedTexturesMatch) {
    const TexelView mips[2] = {views[0], {texels1.data(), 8, 4, 1, 8, 32, 0}};
    const TexelView oddMips[2] = {{texels0.data(), 12, 7, 1, 16, 128, 0},
                                  {texels1.data(), 6, 3, 1, 8, 32, 0}};
    coordinateSpread = 1.5f;
    // Random footprints, then sprites stepping about a texel a pixel: on either side of a texel,
    // and minified so little that the next level's share rounds to nothing, or just not.
    const std::pair<float, float> footprints[] = {{0.5f, 0.0f},    {4.0f, 0.0f},    {40.0f, 0.0f},
                                                  {1.0f, 1.0f},    {1.0f, 0.9995f}, {1.0f, 1.0004f},
                                                  {1.0f, 1.0012f}, {1.0f, 1.0013f}, {1.0f, 1.003f}};
    for (const TexelView* levels : {mips, oddMips})
        for (const auto& [steps, sprite] : footprints)
            for (const DWORD filter : {D3DTEXF_LINEAR, D3DTEXF_POINT}) {
                coordinateSteps = steps;
                spriteStep = sprite;
                ExpectSameAsGeneral(
                    [&](Buffers& b) {
                        PixelSetup p = BaseSetup(b, D3DFMT_A8R8G8B8, false);
                        OneTextureStage(p, D3DTOP_MODULATE);
                        SamplerSetup& s = p.samplers[0];
                        s.views = levels;
                        s.levels = 2;
                        s.address[0] = s.address[1] = D3DTADDRESS_CLAMP;
                        s.magFilter = filter;
                        s.minFilter = s.mipFilter = D3DTEXF_LINEAR;
                        if (sprite > 1.001f) // the next level's share just rounds to nothing, or not
                            s.minFilter = filter == D3DTEXF_LINEAR ? D3DTEXF_POINT : D3DTEXF_LINEAR;
                        p.alphaTest = filter == D3DTEXF_POINT; // as text is drawn
                        p.alphaFunc = D3DCMP_GREATER;
                        p.alphaRef = 0x30;
                        s.needsDerivatives = true;
                        SetBlend(p, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
                        return p;
                    },
                    true);
            }
}

TEST_F(SpanShaderTest, ShadowPassStagesMatch) {
    // Texture factor minus diffuse, then the ramp texture times that.
    ExpectSameAsGeneral(
        [&](Buffers& b) {
            PixelSetup p = BaseSetup(b, D3DFMT_X8R8G8B8, false);
            p.stageCount = 2;
            p.textureFactor = {0x80, 0x80, 0x80, 0xFF};
            p.stages[0] = Stage(D3DTOP_SUBTRACT, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTOP_SELECTARG1,
                                D3DTA_TEXTURE, D3DTA_CURRENT);
            p.stages[1] = Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
                                D3DTA_CURRENT);
            p.samplers[0].views = nullptr; // no texture on stage 0: white
            return p;
        },
        true);
}

// The shadow floor: the shadow texture magnified linearly, minified by point, multiplied into the
// target, with coordinates wrapping over several repeats on power-of-two and other sizes.
TEST_F(SpanShaderTest, FloorStagesMatchOverWrappedCoordinates) {
    coordinateSpread = 3.0f;
    const TexelView oddWidth{texels0.data(), 12, 8, 1, 16, 128, 0};
    const TexelView* sizes[] = {&views[0], &oddWidth};
    for (const TexelView* view : sizes)
        for (DWORD addressV : {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP})
            ExpectSameAsGeneral(
                [&](Buffers& b) {
                    PixelSetup p = BaseSetup(b, D3DFMT_X8R8G8B8, true);
                    OneTextureStage(p, D3DTOP_SELECTARG1);
                    SamplerSetup& s = p.samplers[0];
                    s.views = view;
                    s.address[1] = addressV;
                    s.magFilter = D3DTEXF_LINEAR;
                    s.needsDerivatives = true;
                    s.minificationThreshold = 0.05f;
                    SetBlend(p, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR);
                    return p;
                },
                true);
}

// A magnified texture that is white but for a small dark patch, as the shadow is: groups of
// pixels inside the white, across the patch's edge and inside the patch, multiplied into the
// target or written as they are.
TEST_F(SpanShaderTest, EvenTextureAreasMatch) {
    std::vector<DWORD> shadow(16 * 8, 0xFFFFFFFFu);
    for (const int at : {16 * 3 + 5, 16 * 3 + 6, 16 * 4 + 5, 16 * 4 + 6})
        shadow[size_t(at)] = 0xFF404040u;
    const TexelView view{shadow.data(), 16, 8, 1, 16, 128, 0};
    coordinateSteps = 0.2f; // about five pixels a texel
    for (const bool multiply : {true, false})
        ExpectSameAsGeneral(
            [&](Buffers& b) {
                PixelSetup p = BaseSetup(b, D3DFMT_X8R8G8B8, true);
                OneTextureStage(p, D3DTOP_SELECTARG1);
                SamplerSetup& s = p.samplers[0];
                s.views = &view;
                s.magFilter = D3DTEXF_LINEAR;
                if (multiply)
                    SetBlend(p, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR);
                return p;
            },
            true);
}

TEST_F(SpanShaderTest, OtherCombinationsUseTheGeneralFunction) {
    ExpectSameAsGeneral(
        [&](Buffers& b) {
            PixelSetup p = BaseSetup(b, D3DFMT_X8R8G8B8, true);
            p.stageCount = 1;
            p.stages[0] = Stage(D3DTOP_ADDSIGNED, D3DTA_TFACTOR, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
                                D3DTA_TEXTURE, D3DTA_CURRENT);
            return p;
        },
        false);
}

} // namespace
