#pragma once
// Turns screen-space triangles, lines and points into spans of covered pixels. Pixel centres are
// at integer coordinates; triangle vertices are snapped to 1/16 pixel and edges follow the
// top-left rule, so triangles that share an edge cover each pixel along it exactly once.

#include "platform/d3d9/D3D9Types.h"

#include <cstdint>

constexpr int kMaxVaryings = 4 + 4 + 8 * 4; // diffuse, specular, eight coordinate sets

// A vertex after projection: screen x, y, depth z and 1/w, with its varyings (not yet divided
// by w).
struct ScreenVertex {
    float x, y, z, rhw;
    const float* varying;
};

// Linear functions of the pixel position: value = base + dx * (x - originX) + dy * (y - originY).
// z is screen depth, q is 1/w, and varying i is (varying * 1/w), so a pixel's varying is
// (base + ...) / q.
struct SpanPlanes {
    float originX = 0, originY = 0;
    float z[3] = {};
    float q[3] = {};
    // The diffuse colour (varyings 0..3) when it is the same at every vertex: pixels take it as it
    // is instead of interpolating it.
    bool flatDiffuse = false;
    float diffuse[4] = {};
    int count = 0;
    // Only the first `count` entries are set.
    float base[kMaxVaryings];
    float dx[kMaxVaryings];
    float dy[kMaxVaryings];
    // Room for what a span function works out once for all the spans of this primitive, and the
    // context it was worked out for (null: nothing yet).
    static constexpr int kPreparedBytes = 1024;
    mutable const void* preparedFor = nullptr;
    alignas(32) mutable unsigned char prepared[kPreparedBytes];
};

// Pixel rectangle that spans are clipped to: left <= x < right, top <= y < bottom.
struct PixelRect {
    int left, top, right, bottom;
};

// Receives the spans: every pixel x0 <= x <= x1 of row y is covered.
using SpanFunction = void (*)(void* context, const SpanPlanes& planes, int y, int x0, int x1);

// Twice the signed area in 1/16-pixel units; positive for clockwise order on screen (y down).
// False when a coordinate is not finite or too far off screen to rasterise.
bool SnappedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, std::int64_t* area);

// Fills a triangle (either winding) whose vertices are within the snapping range.
void RasterizeTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int varyingCount,
                       const PixelRect& clip, SpanFunction emit, void* context);

// Draws a line with the diamond rule: the pixel holding the end point is drawn only when
// `lastPixel` is set.
void RasterizeLine(const ScreenVertex& a, const ScreenVertex& b, int varyingCount, bool lastPixel,
                   const PixelRect& clip, SpanFunction emit, void* context);

// Draws the one pixel holding the point.
void RasterizePoint(const ScreenVertex& p, int varyingCount, const PixelRect& clip, SpanFunction emit,
                    void* context);
