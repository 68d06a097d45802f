#pragma once
// Clipping in homogeneous clip space against the near (z >= 0) and far (z <= w) planes, a guard
// band around the viewport, and w > 0. Clipping happens before the divide by w, so geometry
// behind the eye never reaches the rasteriser.

#include "platform/d3d9/VertexProcessor.h"

constexpr int kMaxClippedVertices = 3 + 7;

// Clips a triangle; writes the resulting convex polygon (screen positions filled in) and returns
// its vertex count (0 when nothing is left).
int ClipTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c, int varyingCount,
                 const VertexSetup& setup, PipelineVertex* out);

// Clips a line; returns false when nothing is left.
bool ClipLine(const PipelineVertex& a, const PipelineVertex& b, int varyingCount, const VertexSetup& setup,
              PipelineVertex* outA, PipelineVertex* outB);
