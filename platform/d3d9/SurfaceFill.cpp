#include "platform/d3d9/SurfaceFill.h"

#include "platform/d3d9/FillMemory.h"
#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/PixelPipeline.h"

#include <algorithm>

namespace {

PixelRect ClipToSurface(PixelRect r, const Surface& s) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, int(s.Width()));
    r.bottom = std::min(r.bottom, int(s.Height()));
    return r;
}

bool IsEmpty(const PixelRect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// Whether the rectangle covers whole rows of a surface without padding, so it is one block.
bool IsOneBlock(const PixelRect& r, const Surface& s) {
    return r.left == 0 && UINT(r.right) == s.Width() && s.Pitch() == s.Width() * s.BytesPerPixel();
}

void FillRows32(Surface& s, const PixelRect& r, DWORD value) {
    if (IsOneBlock(r, s)) {
        Fill32(reinterpret_cast<DWORD*>(s.Row(UINT(r.top))), size_t(r.bottom - r.top) * s.Width(), value);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y)
        Fill32(reinterpret_cast<DWORD*>(s.Row(UINT(y))) + r.left, size_t(r.right - r.left), value);
}

void FillRows16(Surface& s, const PixelRect& r, WORD value) {
    if (IsOneBlock(r, s)) {
        Fill16(reinterpret_cast<WORD*>(s.Row(UINT(r.top))), size_t(r.bottom - r.top) * s.Width(), value);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y)
        Fill16(reinterpret_cast<WORD*>(s.Row(UINT(y))) + r.left, size_t(r.right - r.left), value);
}

} // namespace

void FillColorRect(Surface& target, PixelRect rect, D3DCOLOR color) {
    FillColorPixels(target, rect, color);
    target.Changed();
}

void FillColorPixels(Surface& target, PixelRect rect, D3DCOLOR color) {
    const PixelRect r = ClipToSurface(rect, target);
    if (IsEmpty(r))
        return;
    if (target.BytesPerPixel() == 4) {
        FillRows32(target, r, target.Format() == D3DFMT_X8R8G8B8 ? (color | 0xFF000000u) : color);
    } else {
        const TargetView view{target.Bits(), int(target.Pitch()), int(target.Width()), int(target.Height()),
                              target.Format()};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                WriteTargetPixel(view, x, y, color);
    }
}

void FillDepthStencilRect(Surface& depth, PixelRect rect, bool setDepth, DWORD depthValue, bool setStencil,
                          DWORD stencil) {
    const PixelRect r = ClipToSurface(rect, depth);
    if (IsEmpty(r))
        return;
    if (IsDepth16(depth.Format())) {
        if (setDepth)
            FillRows16(depth, r, WORD(depthValue));
        return;
    }
    if (depth.Format() == D3DFMT_D32 || (setDepth && setStencil)) {
        const DWORD value = depth.Format() == D3DFMT_D32 ? depthValue : (depthValue | (stencil & 0xFFu));
        if (setDepth)
            FillRows32(depth, r, value);
        return;
    }
    // Only one of depth and stencil: keep the other part of each value.
    const DWORD keep = setDepth ? 0xFFu : 0xFFFFFF00u;
    const DWORD set = setDepth ? depthValue : (stencil & 0xFFu);
    for (int y = r.top; y < r.bottom; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(depth.Row(UINT(y)));
        for (int x = r.left; x < r.right; ++x)
            row[x] = (row[x] & keep) | set;
    }
}
