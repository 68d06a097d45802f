#pragma once
// Vertex fetch, transformation and fixed-function lighting: turns the caller's vertices into
// clip-space positions with their colours and texture coordinates.

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/PixelPipeline.h"
#include "platform/d3d9/VertexLayout.h"

#include <vector>

// Clip outcode bits.
constexpr unsigned kClipNear = 1, kClipFar = 2, kClipLeft = 4, kClipRight = 8, kClipBottom = 16,
                   kClipTop = 32, kClipW = 64;

struct PipelineVertex {
    float clip[4];   // clip-space x, y, z, w
    float screen[4]; // screen x, y, z and 1/w, valid when outcode is 0 or after clipping
    unsigned outcode;
    float varying[kMaxVaryings];
};

struct ActiveLight {
    D3DLIGHTTYPE type;
    float diffuse[4], specular[4], ambient[4];
    float position[3];  // camera space
    float direction[3]; // camera space, towards the light for directional lights
    float range, att0, att1, att2, falloff, cosHalfTheta, cosHalfPhi;
};

// Everything per-vertex work reads, derived from the device state when it changes.
struct VertexSetup {
    bool pretransformed = false;
    bool lighting = false;
    bool specularLighting = false;
    bool normalizeNormals = false;
    bool localViewer = true;
    bool colorVertex = true;
    DWORD diffuseSource = D3DMCS_COLOR1, specularSource = D3DMCS_COLOR2, ambientSource = D3DMCS_MATERIAL,
          emissiveSource = D3DMCS_MATERIAL;
    bool flatShading = false;
    float worldViewProjection[4][4];
    float worldView[4][4];
    float normalMatrix[3][3];
    float globalAmbient[4];
    D3DMATERIAL9 material{};
    std::vector<ActiveLight> lights;
    bool lightsNeedPosition = false; // point or spot lights, or local-viewer specular
    // Viewport transform.
    float viewportX = 0, viewportY = 0, halfWidth = 0, halfHeight = 0, minZ = 0, depthRange = 1;
    float guardBand = 1;
    VaryingLayout varyings;
};

// Recomputes the matrices and lights of a setup from the device state.
void PrepareTransforms(const DeviceState& state, VertexSetup& setup);
void PrepareLights(const DeviceState& state, VertexSetup& setup);
void PrepareViewport(const D3DVIEWPORT9& viewport, VertexSetup& setup);

// Pointers to the first byte of the vertex in each stream.
struct VertexStreams {
    const BYTE* data[kMaxStreams] = {};
};

// What processing a vertex needs that is the same for every vertex of a layout under a setup,
// worked out once for both. The common layouts (three-float position and normal, no vertex
// colours, float texture coordinates) lit by directional lights without specular highlights
// take a short path built on it; every other combination takes the general one. Both give the
// same results bit for bit.
struct VertexPlan {
    // Texture coordinates, float by float: copied from the vertex or set to a constant.
    struct CoordinateCopy {
        int varying;
        int stream;
        UINT byteOffset;
    };
    struct CoordinateFill {
        int varying;
        float value;
    };
    bool common = false;
    bool lit = false;
    float materialDiffuse[4] = {};
    float lightBase[3] = {}; // emissive + ambient material x (global ambient + lights' ambient)
    float diffuse[4] = {};   // the colour of every vertex without lighting; with it, the alpha
    float specular[4] = {};
    int copyCount = 0, fillCount = 0;
    CoordinateCopy copies[kMaxTextureCoordinateSets * 4] = {};
    CoordinateFill fills[kMaxTextureCoordinateSets * 4] = {};
};

// Call again whenever the layout, the lights, the material, the lighting states or the varying
// layout change.
void PrepareVertexPlan(const VertexLayout& layout, const VertexSetup& setup, VertexPlan& plan);

void ProcessVertex(const VertexLayout& layout, const VertexStreams& vertex, const VertexSetup& setup,
                   const VertexPlan& plan, PipelineVertex& out);

// Screen position from the clip position (w must be positive).
void ProjectVertex(const VertexSetup& setup, PipelineVertex& v);
