#pragma once
// A span's pixels, eight at a time in vector lanes: the depth, 1/w, the texture coordinates with
// the choice between the minification and magnification filters, the texels, and a diffuse colour
// that changes along the span; for the commonest state combinations also the stages, the tests,
// the blend and the writes. Each lane runs the very operations the
// per-pixel code runs, in the same order, and IEEE arithmetic gives the same result in a lane as
// in a scalar register, so the pixels do not change. The processor picks the set at run time:
// AVX2 (eight lanes in one register) where the processor has it, otherwise the base set (SSE2 on
// x86-64, whatever the compiler makes of the vectors elsewhere).

#include "platform/d3d9/D3D9Types.h"

constexpr int kSpanLanes = 8;

// Samples a pixel of a minified mip-mapped texture: coords u, v, w; footprint d(u, v, w)/dx then
// d(u, v, w)/dy.
using LaneMinifiedSample = DWORD (*)(const void* samplerSetup, const float* coords, const float* footprint);

// One sampler's coordinate planes along the row and what the filter choice needs.
struct LaneSampler {
    bool active = false;
    bool derivatives = false; // the filter depends on the footprint
    float row[3], dx[3], dy[3];
    float qdx, qdy;
    float width, height, depth; // of the sampled level
    float threshold;
    // A power-of-two texture that wraps on both axes, or any texture clamped on both: the lanes
    // also read and filter its texels.
    const DWORD* texels = nullptr;
    DWORD orMask;
    bool clamp;       // clamped (else wrapped)
    int maskX, maskY; // the last column and row (wrapping: the masks)
    int pitch;
    bool magLinear, minLinear; // the filters are bilinear
    // A mip-mapped texture: the lanes read its top level where it is magnified (its footprint at
    // most a texel); the pixels where it is minified are sampled by this, one by one.
    LaneMinifiedSample minifiedSample = nullptr;
    const void* samplerSetup = nullptr;
};

// What the first stage's colour or alpha is (the order of the span functions' sources).
enum LaneSource { kLaneTexture, kLaneDiffuse, kLaneTextureTimesDiffuse, kLaneFactorMinusDiffuse };
enum LaneBlend { kLaneOpaque, kLaneSourceAlpha, kLaneMultiply };

// For the commonest spans the lanes also finish the pixels: the stages, the depth test and
// write, the blend and the writes to the row.
struct LaneShading {
    int color = kLaneTexture, alpha = kLaneTexture; // LaneSource
    bool second = false;                            // stage 1 multiplies the colour by sampler 1's texel
    int blend = kLaneOpaque;                        // LaneBlend
    DWORD depthFunc = D3DCMP_ALWAYS;
    bool depthWrite = false;
    bool alphaTest = false; // the pixels whose alpha fails are neither written nor their depth
    DWORD alphaFunc = D3DCMP_ALWAYS, alphaRef = 0;
    DWORD factor = 0;
    DWORD spanDiffuse = 0; // the diffuse colour when it does not change along the span
    DWORD alphaOr = 0;
    DWORD* colors = nullptr; // the row's pixels
    WORD* depths = nullptr;  // and depths (null without the depth test)
    int rowWidth = 0;        // pixels of the row that exist in both
};

// Everything about a span row that the lanes read.
struct LaneSetup {
    float originX;
    bool depth = false;
    float zRow, zdx;
    bool constantW = false;
    float spanW, qRow, qdx;
    bool diffuse = false; // the diffuse colour changes along the span
    float diffuseRow[4], diffuseDx[4];
    LaneSampler sampler[2];
    LaneShading shading;
};

struct LaneResults {
    DWORD z[kSpanLanes];
    float w[kSpanLanes];
    float u[2][kSpanLanes], v[2][kSpanLanes];
    int minified[2][kSpanLanes];
    DWORD diffuse[kSpanLanes];
    DWORD texel[2][kSpanLanes]; // with LaneSampler::texels
};

// Works out the pixels x .. x + kSpanLanes - 1 of the row.
using LaneFunction = void (*)(const LaneSetup& setup, int x, LaneResults& results);
// Shades and writes the pixels x0 .. x1 of the row (LaneSetup::shading).
using LaneSpanFunction = void (*)(const LaneSetup& setup, int x0, int x1);

enum class SpanSet { Base, Avx2 };

// The set this processor uses, or the one a test asked for.
SpanSet ActiveSpanSet();
// Makes every span use `set` (null: the processor's choice again). For tests; a set the
// processor lacks is not taken.
void SetSpanSetOverride(const SpanSet* set);
LaneFunction ChooseLaneFunction();
// `blend` is a LaneBlend; `second`: stage 1 modulates with sampler 1's texel.
LaneSpanFunction ChooseLaneSpanFunction(int blend, bool depth, bool second);
