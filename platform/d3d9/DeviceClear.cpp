// Clear: the colour target, the depth buffer and the stencil, within the viewport (and the
// scissor rectangle when it is on), whole or by rectangles.

#include "platform/d3d9/Device.h"

#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/SurfaceFill.h"

#include <algorithm>

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD stencil) {
    if ((count > 0 && !rects) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    const bool clearColor = (flags & D3DCLEAR_TARGET) != 0;
    const bool clearDepth = (flags & D3DCLEAR_ZBUFFER) != 0;
    const bool clearStencil = (flags & D3DCLEAR_STENCIL) != 0;
    if ((clearDepth || clearStencil) && !depthStencil_)
        return D3DERR_INVALIDCALL;
    if (clearStencil && depthStencil_->Format() != D3DFMT_D24S8)
        return D3DERR_INVALIDCALL;
    if (clearDepth && !(z >= 0.0f && z <= 1.0f))
        return D3DERR_INVALIDCALL;

    const D3DVIEWPORT9& vp = state_.viewport;
    PixelRect area{int(vp.X), int(vp.Y), int(vp.X + vp.Width), int(vp.Y + vp.Height)};
    if (state_.render[D3DRS_SCISSORTESTENABLE]) {
        area.left = std::max<int>(area.left, state_.scissor.left);
        area.top = std::max<int>(area.top, state_.scissor.top);
        area.right = std::min<int>(area.right, state_.scissor.right);
        area.bottom = std::min<int>(area.bottom, state_.scissor.bottom);
    }
    const DWORD depthValue = clearDepth ? QuantizeDepth(z, depthStencil_->Format()) : 0;
    auto clearRect = [&](const PixelRect& r) {
        if (queue_) {
            StartBatch();
            queue_->AddClear({r, clearColor ? renderTarget_ : nullptr, color,
                              clearDepth || clearStencil ? depthStencil_ : nullptr, clearDepth, clearStencil,
                              depthValue, stencil});
            if (clearColor)
                renderTarget_->Changed();
            return;
        }
        if (clearColor)
            FillColorRect(*renderTarget_, r, color);
        if (clearDepth || clearStencil)
            FillDepthStencilRect(*depthStencil_, r, clearDepth, depthValue, clearStencil, stencil);
    };
    if (count == 0) {
        clearRect(area);
        return D3D_OK;
    }
    for (DWORD i = 0; i < count; ++i) {
        const PixelRect r{std::max<int>(area.left, rects[i].x1), std::max<int>(area.top, rects[i].y1),
                          std::min<int>(area.right, rects[i].x2), std::min<int>(area.bottom, rects[i].y2)};
        if (r.left < r.right && r.top < r.bottom)
            clearRect(r);
    }
    return D3D_OK;
}
