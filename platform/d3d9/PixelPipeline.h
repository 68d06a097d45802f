#pragma once
// Shades the pixels of a span: interpolates the varyings perspective-correctly, runs the texture
// stages, then the alpha test, depth test, blending and write mask. The device prepares a
// PixelSetup from its states before a draw; the span function chosen for it is specialised for
// the combinations the program draws most.

#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/Rasterizer.h"
#include "platform/d3d9/SpanLanes.h"
#include "platform/d3d9/TextureSampler.h"
#include "platform/d3d9/TextureStages.h"
#include "platform/d3d9/VertexLayout.h"

// Where each varying lies in a vertex's varying array.
struct VaryingLayout {
    int count = 4;     // diffuse r, g, b, a are always 0..3
    int specular = -1; // offset of specular r, g, b, a, or -1
    int texcoord[kMaxTextureCoordinateSets] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texComponents[kMaxTextureCoordinateSets] = {};
};

struct TargetView {
    BYTE* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};

struct PixelSetup {
    TargetView color;
    TargetView depth;
    bool depthTest = false;
    bool depthWrite = false;
    DWORD depthFunc = D3DCMP_LESSEQUAL;
    DWORD depthCompareMask = 0xFFFFFFFFu; // which stored bits hold depth
    // Stencil test on the low byte of a D24S8 buffer.
    bool stencilTest = false;
    DWORD stencilFunc = D3DCMP_ALWAYS;
    DWORD stencilRef = 0, stencilMask = 0xFF, stencilWriteMask = 0xFF;
    DWORD stencilFail = D3DSTENCILOP_KEEP, stencilDepthFail = D3DSTENCILOP_KEEP,
          stencilPass = D3DSTENCILOP_KEEP;
    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    DWORD alphaRef = 0;
    BlendSetup blend;
    DWORD writeMask = 0xFFFFFFFFu;
    int stageCount = 0;
    StageSetup stages[8];
    SamplerSetup samplers[8];
    int stageCoords[8] = {-1, -1, -1, -1, -1, -1, -1, -1}; // varying offset of each stage's coordinates
    bool stageSamples[8] = {};
    Rgba textureFactor{255, 255, 255, 255};
    bool specularAdd = false;
    VaryingLayout varyings;
    // Filled by ChooseSpanFunction for the specialised span functions: where the first stage's
    // colour and alpha come from.
    int singleColorSource = 0;
    int singleAlphaSource = 0;
    // and how their pixels' depth, 1/w and coordinates are worked out, or the whole pixels
    // (see SpanLanes.h).
    LaneFunction laneFunction = nullptr;
    LaneSpanFunction laneSpan = nullptr;
};

// Picks the span function for a setup.
SpanFunction ChooseSpanFunction(PixelSetup& setup);

// The general span function (every state combination).
void ShadeSpanGeneral(void* setup, const SpanPlanes& planes, int y, int x0, int x1);

// Reads and writes one colour-target pixel as A8R8G8B8.
DWORD ReadTargetPixel(const TargetView& target, int x, int y);
void WriteTargetPixel(const TargetView& target, int x, int y, DWORD color);
