#include "ModelFraming.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "state/RenderSettings.h"

namespace {

struct Bounds {
    float low[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::max()};
    float high[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                     std::numeric_limits<float>::lowest()};

    void Add(const D3DXVECTOR3& p) {
        const float v[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], v[i]);
            high[i] = std::max(high[i], v[i]);
        }
    }
    float Centre(int i) const { return (low[i] + high[i]) * 0.5f; }
    float Extent(int i) const { return high[i] - low[i]; }
};

D3DXVECTOR3 Transform(const D3DXMATRIX& m, const D3DXVECTOR3& p) {
    return D3DXVECTOR3(p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
                       p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
                       p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43);
}

// Where the model drawing puts a stored corner: file axes to world axes, lifted, not turned
// (the tool leaves the model's turn at 0).
D3DXVECTOR3 WorldPosition(const ModelVertex& v, float lift) {
    return D3DXVECTOR3(v.x, v.z + lift, v.y);
}

// Direct3D's left-handed orthographic projection of a box of camera space.
D3DXMATRIX Orthographic(float left, float right, float bottom, float top, float zNear, float zFar) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._11 = 2.0f / (right - left);
    m._22 = 2.0f / (top - bottom);
    m._33 = 1.0f / (zFar - zNear);
    m._41 = (left + right) / (left - right);
    m._42 = (top + bottom) / (bottom - top);
    m._43 = zNear / (zNear - zFar);
    return m;
}

} // namespace

bool FrameModel(const MD2Model& model, int frameIndex, int longSide, Framing& framing) {
    if (frameIndex < 0 || frameIndex >= model.FrameCount() || model.triangles.empty() || longSide < 1)
        return false;
    const ModelVertex* corners = model.frames[static_cast<std::size_t>(frameIndex)].vertices.get();
    const std::size_t count = model.triangles.size() * 3;
    const float lift = theRenderSettings->applyOffsetY == 1 ? -model.offsetY : 0.0f;

    Bounds world;
    for (std::size_t i = 0; i < count; ++i)
        world.Add(WorldPosition(corners[i], lift));
    const D3DXVECTOR3 centre(world.Centre(0), world.Centre(1), world.Centre(2));
    const float reach = std::max({world.Extent(0), world.Extent(1), world.Extent(2), 1e-3f});
    const D3DXVECTOR3 eye(centre.x + 0.5f * reach, centre.y + 0.3f * reach, centre.z - 1.0f * reach);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&framing.view, &eye, &centre, &up);

    Bounds seen;
    for (std::size_t i = 0; i < count; ++i)
        seen.Add(Transform(framing.view, WorldPosition(corners[i], lift)));
    // A margin of 3 % on every side; the picture takes the shape of what is seen.
    const float margin = 0.03f * std::max(seen.Extent(0), seen.Extent(1));
    const float wide = std::max(seen.Extent(0) + 2 * margin, 1e-3f);
    const float tall = std::max(seen.Extent(1) + 2 * margin, 1e-3f);
    const float shorter = static_cast<float>(longSide) * std::min(wide, tall) / std::max(wide, tall);
    const int shortSide = std::clamp(static_cast<int>(std::lround(shorter)), 1, longSide);
    framing.width = wide >= tall ? longSide : shortSide;
    framing.height = wide >= tall ? shortSide : longSide;

    // The same scale both ways: the rounded side gets a little more or less room.
    const float unitsPerPixel =
        std::max(wide / static_cast<float>(framing.width), tall / static_cast<float>(framing.height));
    const float halfWidth = 0.5f * unitsPerPixel * static_cast<float>(framing.width);
    const float halfHeight = 0.5f * unitsPerPixel * static_cast<float>(framing.height);
    const float depthMargin = std::max(seen.Extent(2), 1.0f);
    framing.projection =
        Orthographic(seen.Centre(0) - halfWidth, seen.Centre(0) + halfWidth, seen.Centre(1) - halfHeight,
                     seen.Centre(1) + halfHeight, seen.low[2] - depthMargin, seen.high[2] + depthMargin);
    return true;
}
