#include "platform/d3d9/Clipper.h"

#include <algorithm>
#include <utility>

namespace {

// Signed distance to a plane; inside where >= 0.
float PlaneDistance(unsigned plane, const float* c, float guardBand) {
    switch (plane) {
    case kClipNear:
        return c[2];
    case kClipFar:
        return c[3] - c[2];
    case kClipLeft:
        return c[0] + guardBand * c[3];
    case kClipRight:
        return guardBand * c[3] - c[0];
    case kClipBottom:
        return c[1] + guardBand * c[3];
    case kClipTop:
        return guardBand * c[3] - c[1];
    default:
        return c[3] - 1e-7f;
    }
}

void Interpolate(const PipelineVertex& a, const PipelineVertex& b, float t, int count, PipelineVertex& out) {
    for (int i = 0; i < 4; ++i)
        out.clip[i] = a.clip[i] + (b.clip[i] - a.clip[i]) * t;
    for (int i = 0; i < count; ++i)
        out.varying[i] = a.varying[i] + (b.varying[i] - a.varying[i]) * t;
}

constexpr unsigned kPlanes[] = {kClipW, kClipNear, kClipFar, kClipLeft, kClipRight, kClipBottom, kClipTop};

} // namespace

int ClipTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c, int count,
                 const VertexSetup& setup, PipelineVertex* out) {
    PipelineVertex bufferA[kMaxClippedVertices + 2], bufferB[kMaxClippedVertices + 2];
    PipelineVertex* in = bufferA;
    PipelineVertex* next = bufferB;
    in[0] = a;
    in[1] = b;
    in[2] = c;
    int n = 3;
    const unsigned planes = a.outcode | b.outcode | c.outcode;
    for (unsigned plane : kPlanes) {
        if (!(planes & plane))
            continue;
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const PipelineVertex& p = in[i];
            const PipelineVertex& q = in[(i + 1) % n];
            const float dp = PlaneDistance(plane, p.clip, setup.guardBand);
            const float dq = PlaneDistance(plane, q.clip, setup.guardBand);
            if (dp >= 0.0f)
                next[m++] = p;
            if ((dp >= 0.0f) != (dq >= 0.0f) && m < kMaxClippedVertices + 2) {
                // Always from the inside vertex outwards, so two triangles sharing this edge get
                // the very same new vertex and no crack opens between them.
                if (dp >= 0.0f)
                    Interpolate(p, q, dp / (dp - dq), count, next[m++]);
                else
                    Interpolate(q, p, dq / (dq - dp), count, next[m++]);
            }
        }
        std::swap(in, next);
        n = m;
        if (n < 3)
            return 0;
    }
    n = std::min(n, kMaxClippedVertices);
    for (int i = 0; i < n; ++i) {
        out[i] = in[i];
        ProjectVertex(setup, out[i]);
        out[i].outcode = 0;
    }
    return n;
}

bool ClipLine(const PipelineVertex& a, const PipelineVertex& b, int count, const VertexSetup& setup,
              PipelineVertex* outA, PipelineVertex* outB) {
    float t0 = 0.0f, t1 = 1.0f;
    const unsigned planes = a.outcode | b.outcode;
    for (unsigned plane : kPlanes) {
        if (!(planes & plane))
            continue;
        const float da = PlaneDistance(plane, a.clip, setup.guardBand);
        const float db = PlaneDistance(plane, b.clip, setup.guardBand);
        if (da < 0.0f && db < 0.0f)
            return false;
        if (da < 0.0f)
            t0 = std::max(t0, da / (da - db));
        else if (db < 0.0f)
            t1 = std::min(t1, da / (da - db));
    }
    if (t0 > t1)
        return false;
    *outA = a;
    *outB = b;
    if (t0 > 0.0f)
        Interpolate(a, b, t0, count, *outA);
    if (t1 < 1.0f)
        Interpolate(a, b, t1, count, *outB);
    ProjectVertex(setup, *outA);
    ProjectVertex(setup, *outB);
    outA->outcode = outB->outcode = 0;
    return true;
}
