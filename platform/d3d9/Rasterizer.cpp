#include "platform/d3d9/Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace {

using i64 = std::int64_t;

constexpr float kSubpixels = 16.0f;
constexpr float kSnapLimit = 1 << 22; // pixels; keeps edge products well inside 64 bits

i64 FloorDiv(i64 n, i64 d) {
    i64 q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0)))
        --q;
    return q;
}

bool Snap(float v, i64* out) {
    if (!(std::fabs(v) < kSnapLimit))
        return false;
    *out = i64(std::lrint(v * kSubpixels));
    return true;
}

// floor((n0 + row * dn) / den) for successive rows without a division per row.
struct FloorDivStepper {
    i64 q = 0, r = 0, den = 1, dq = 0, dr = 0;
    void Init(i64 n0, i64 dn, i64 d) {
        den = d;
        q = FloorDiv(n0, d);
        r = n0 - q * d;
        dq = FloorDiv(dn, d);
        dr = dn - dq * d;
    }
    void Step() {
        q += dq;
        r += dr;
        if (r >= den) {
            ++q;
            r -= den;
        }
    }
};

struct EdgeBound {
    enum Kind { Lower, Upper, Constant } kind;
    FloorDivStepper stepper; // Lower/Upper: the bound for the current row
    i64 value = 0, step = 0; // Constant: B for the current row, and its change per row
    int threshold = 0;
};

// Edge a->b; covered pixels satisfy A * px + B(row) >= t.
EdgeBound SetupEdge(i64 xa, i64 ya, i64 xb, i64 yb, i64 firstRowY) {
    const bool topLeft = (yb < ya) || (yb == ya && xb > xa);
    const int t = topLeft ? 0 : 1;
    const i64 A = (ya - yb) * 16;
    const i64 B0 = (xb - xa) * (firstRowY - ya) + (yb - ya) * xa;
    const i64 dB = (xb - xa) * 16;
    EdgeBound e{};
    e.threshold = t;
    if (A > 0) {
        e.kind = EdgeBound::Lower; // px >= ceil((t - B) / A)
        e.stepper.Init(t - B0 + A - 1, -dB, A);
    } else if (A < 0) {
        e.kind = EdgeBound::Upper; // px <= floor((B - t) / -A)
        e.stepper.Init(B0 - t, dB, -A);
    } else {
        e.kind = EdgeBound::Constant;
        e.value = B0;
        e.step = dB;
    }
    return e;
}

void SetupPlanes(const ScreenVertex* v[3], const float fx[3], const float fy[3], int count, SpanPlanes& p) {
    const double x1 = double(fx[1]) - fx[0], y1 = double(fy[1]) - fy[0];
    const double x2 = double(fx[2]) - fx[0], y2 = double(fy[2]) - fy[0];
    const double det = x1 * y2 - x2 * y1;
    const double inv = 1.0 / det;
    p.originX = fx[0];
    p.originY = fy[0];
    auto plane = [&](double a0, double a1, double a2, float* base, float* dx, float* dy) {
        const double d1 = a1 - a0, d2 = a2 - a0;
        *base = float(a0);
        *dx = float((d1 * y2 - d2 * y1) * inv);
        *dy = float((d2 * x1 - d1 * x2) * inv);
    };
    plane(v[0]->z, v[1]->z, v[2]->z, &p.z[0], &p.z[1], &p.z[2]);
    plane(v[0]->rhw, v[1]->rhw, v[2]->rhw, &p.q[0], &p.q[1], &p.q[2]);
    p.count = count;
    p.flatDiffuse = count >= 4;
    for (int i = 0; i < 4 && p.flatDiffuse; ++i) {
        p.diffuse[i] = v[0]->varying[i];
        p.flatDiffuse = v[1]->varying[i] == p.diffuse[i] && v[2]->varying[i] == p.diffuse[i];
    }
    for (int i = 0; i < count; ++i)
        plane(double(v[0]->varying[i]) * v[0]->rhw, double(v[1]->varying[i]) * v[1]->rhw,
              double(v[2]->varying[i]) * v[2]->rhw, &p.base[i], &p.dx[i], &p.dy[i]);
}

// Planes that vary along one direction only, for lines and points.
void SetupLinePlanes(const ScreenVertex& a, const ScreenVertex& b, float length, bool alongX, int count,
                     SpanPlanes& p) {
    p.originX = a.x;
    p.originY = a.y;
    const float inv = length != 0.0f ? 1.0f / length : 0.0f;
    auto plane = [&](float a0, float a1, float* base, float* dx, float* dy) {
        *base = a0;
        const float slope = (a1 - a0) * inv;
        *dx = alongX ? slope : 0.0f;
        *dy = alongX ? 0.0f : slope;
    };
    plane(a.z, b.z, &p.z[0], &p.z[1], &p.z[2]);
    plane(a.rhw, b.rhw, &p.q[0], &p.q[1], &p.q[2]);
    p.count = count;
    p.flatDiffuse = count >= 4;
    for (int i = 0; i < 4 && p.flatDiffuse; ++i) {
        p.diffuse[i] = a.varying[i];
        p.flatDiffuse = b.varying[i] == p.diffuse[i];
    }
    for (int i = 0; i < count; ++i)
        plane(a.varying[i] * a.rhw, b.varying[i] * b.rhw, &p.base[i], &p.dx[i], &p.dy[i]);
}

} // namespace

bool SnappedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, std::int64_t* area) {
    i64 ax, ay, bx, by, cx, cy;
    if (!Snap(a.x, &ax) || !Snap(a.y, &ay) || !Snap(b.x, &bx) || !Snap(b.y, &by) || !Snap(c.x, &cx) ||
        !Snap(c.y, &cy))
        return false;
    *area = (bx - ax) * (cy - ay) - (cx - ax) * (by - ay);
    return true;
}

void RasterizeTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int varyingCount,
                       const PixelRect& clip, SpanFunction emit, void* context) {
    const ScreenVertex* v[3] = {&a, &b, &c};
    i64 X[3], Y[3];
    for (int i = 0; i < 3; ++i)
        if (!Snap(v[i]->x, &X[i]) || !Snap(v[i]->y, &Y[i]))
            return;
    i64 area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0)
        return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }
    const i64 minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    const i64 minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    i64 rowStart = std::max<i64>(-FloorDiv(-minY, 16), clip.top);
    const i64 rowEnd = std::min<i64>(FloorDiv(maxY, 16), clip.bottom - 1);
    const i64 colStart = std::max<i64>(-FloorDiv(-minX, 16), clip.left);
    const i64 colEnd = std::min<i64>(FloorDiv(maxX, 16), clip.right - 1);
    if (rowStart > rowEnd || colStart > colEnd)
        return;

    EdgeBound edges[3] = {SetupEdge(X[1], Y[1], X[2], Y[2], rowStart * 16),
                          SetupEdge(X[2], Y[2], X[0], Y[0], rowStart * 16),
                          SetupEdge(X[0], Y[0], X[1], Y[1], rowStart * 16)};

    SpanPlanes planes;
    const float fx[3] = {float(X[0]) / kSubpixels, float(X[1]) / kSubpixels, float(X[2]) / kSubpixels};
    const float fy[3] = {float(Y[0]) / kSubpixels, float(Y[1]) / kSubpixels, float(Y[2]) / kSubpixels};
    SetupPlanes(v, fx, fy, varyingCount, planes);

    for (i64 row = rowStart; row <= rowEnd; ++row) {
        i64 lo = colStart, hi = colEnd;
        bool empty = false;
        for (EdgeBound& e : edges) {
            if (e.kind == EdgeBound::Lower)
                lo = std::max(lo, e.stepper.q);
            else if (e.kind == EdgeBound::Upper)
                hi = std::min(hi, e.stepper.q);
            else if (e.value < e.threshold)
                empty = true;
        }
        if (!empty && lo <= hi)
            emit(context, planes, int(row), int(lo), int(hi));
        for (EdgeBound& e : edges) {
            if (e.kind == EdgeBound::Constant)
                e.value += e.step;
            else
                e.stepper.Step();
        }
    }
}

void RasterizeLine(const ScreenVertex& a, const ScreenVertex& b, int varyingCount, bool lastPixel,
                   const PixelRect& clip, SpanFunction emit, void* context) {
    if (!(std::fabs(a.x) < kSnapLimit && std::fabs(a.y) < kSnapLimit && std::fabs(b.x) < kSnapLimit &&
          std::fabs(b.y) < kSnapLimit))
        return;
    const float dx = b.x - a.x, dy = b.y - a.y;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const float major0 = alongX ? a.x : a.y, major1 = alongX ? b.x : b.y;
    const float minor0 = alongX ? a.y : a.x;
    const float length = major1 - major0;
    const float slope = length != 0.0f ? (alongX ? dy : dx) / length : 0.0f;
    SpanPlanes planes;
    SetupLinePlanes(a, b, length, alongX, varyingCount, planes);

    const int first = int(std::floor(major0 + 0.5f));
    const int last = int(std::floor(major1 + 0.5f));
    const int direction = last >= first ? 1 : -1;
    if (first == last && !lastPixel)
        return;
    int end = lastPixel ? last + direction : last;
    // Only the part of the major axis inside the clip rectangle is walked.
    const int lo = alongX ? clip.left : clip.top, hi = alongX ? clip.right - 1 : clip.bottom - 1;
    int start = first;
    if (direction > 0) {
        start = std::max(start, lo);
        end = std::min(end, hi + 1);
        if (start >= end)
            return;
    } else {
        start = std::min(start, hi);
        end = std::max(end, lo - 1);
        if (start <= end)
            return;
    }
    // Pixels next to each other on a row go out as one span: the span functions work each pixel
    // out from its position alone, so this draws the same pixels with fewer calls.
    int runY = 0, runFirst = 0, runLast = -1;
    auto flush = [&] {
        if (runFirst <= runLast)
            emit(context, planes, runY, runFirst, runLast);
        runLast = runFirst - 1;
    };
    for (int m = start; m != end; m += direction) {
        const float minor = minor0 + (float(m) - major0) * slope;
        const int n = int(std::floor(minor + 0.5f));
        const int px = alongX ? m : n, py = alongX ? n : m;
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom)
            continue;
        if (runFirst <= runLast && py == runY && (px == runLast + 1 || px == runFirst - 1)) {
            runFirst = std::min(runFirst, px);
            runLast = std::max(runLast, px);
            continue;
        }
        flush();
        runY = py;
        runFirst = runLast = px;
    }
    flush();
}

void RasterizePoint(const ScreenVertex& p, int varyingCount, const PixelRect& clip, SpanFunction emit,
                    void* context) {
    if (!(std::fabs(p.x) < kSnapLimit && std::fabs(p.y) < kSnapLimit))
        return;
    const int px = int(std::floor(p.x + 0.5f)), py = int(std::floor(p.y + 0.5f));
    if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom)
        return;
    SpanPlanes planes;
    SetupLinePlanes(p, p, 0.0f, true, varyingCount, planes);
    emit(context, planes, py, px, px);
}
