// Smooth motion: the model drawn part of the way from its current key frame to the one the next
// step will show, by the share of the frame interval that has passed since the last step.

#include <algorithm>
#include <cmath>

#include "state/RenderSettings.h"
#include "model/MD2Model.h"

namespace {

float BlendFactor(const RenderSettings& settings) {
    const float share = (settings.pictureTime - settings.lastFrameTime) / settings.frameInterval;
    // A clock that went back, an endless interval (speed 0) or no number at all shows the key
    // frame itself; a late step shows the upcoming frame whole.
    return share > 0.0f ? std::min(share, 1.0f) : 0.0f;
}

float Mix(float from, float to, float share) {
    return from + (to - from) * share;
}

// Positions move in a straight line; normals too, then back to unit length. A normal that
// turns half round passes through zero and keeps the one it had.
ModelVertex Blend(const ModelVertex& from, const ModelVertex& to, float share) {
    ModelVertex out = from;
    out.x = Mix(from.x, to.x, share);
    out.y = Mix(from.y, to.y, share);
    out.z = Mix(from.z, to.z, share);
    const float nx = Mix(from.nx, to.nx, share);
    const float ny = Mix(from.ny, to.ny, share);
    const float nz = Mix(from.nz, to.nz, share);
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0.0f) {
        out.nx = nx / length;
        out.ny = ny / length;
        out.nz = nz / length;
    }
    return out;
}

} // namespace

const ModelVertex* MD2Model::BlendedFrame() {
    const RenderSettings& settings = *theRenderSettings;
    if (settings.interpolate != 1)
        return nullptr;
    const int upcoming = UpcomingFrame();
    const float share = BlendFactor(settings);
    if (upcoming < 0 || upcoming == currentFrame || share == 0.0f)
        return nullptr;
    const ModelVertex* to = frames[static_cast<std::size_t>(upcoming)].vertices.get();
    if (share == 1.0f)
        return to;

    const std::size_t count = triangles.size() * 3;
    // Sized at load; a model put together by hand gets it at its first picture.
    if (blendScratch.size() != count)
        blendScratch.resize(count);
    const ModelVertex* from = frames[static_cast<std::size_t>(currentFrame)].vertices.get();
    for (std::size_t i = 0; i < count; ++i)
        blendScratch[i] = Blend(from[i], to[i], share);
    return blendScratch.data();
}
