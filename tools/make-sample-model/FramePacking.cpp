#include "FramePacking.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int MAX_INDEX = std::numeric_limits<std::uint16_t>::max();

std::uint16_t TexelCoordinate(float texels) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(texels), 0L, static_cast<long>(MAX_INDEX)));
}

// Translate at the frame's lowest corner and one step size for all axes, so the longest side of
// the frame's bounding box uses all 256 steps.
MD2WriterFrame PackFrame(const ModelFrame& frame) {
    Vec3 low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
             std::numeric_limits<float>::max()};
    Vec3 high = low * -1.0f;
    for (const MeshVertex& v : frame.mesh.vertices) {
        low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y), std::min(low.z, v.position.z)};
        high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                std::max(high.z, v.position.z)};
    }
    const Vec3 size = high - low;
    const float longest = std::max({size.x, size.y, size.z});
    const float step = longest > 0.0f ? longest / 255.0f : 1.0f;

    MD2WriterFrame packed;
    packed.name = frame.name;
    packed.scale = {step, step, step};
    packed.translate = {low.x, low.y, low.z};
    auto quantise = [step](float value, float origin) {
        return static_cast<std::uint8_t>(std::clamp(std::lround((value - origin) / step), 0L, 255L));
    };
    for (const MeshVertex& v : frame.mesh.vertices)
        packed.vertices.push_back(
            {{quantise(v.position.x, low.x), quantise(v.position.y, low.y), quantise(v.position.z, low.z)},
             NearestMD2Normal(v.normal.x, v.normal.y, v.normal.z)});
    return packed;
}

bool SameTopology(const Mesh& first, const Mesh& other) {
    return first.vertices.size() == other.vertices.size() &&
           (other.triangles.empty() || other.triangles.size() == first.triangles.size());
}

} // namespace

bool PackModel(const std::vector<ModelFrame>& frames, MD2WriterModel& model, std::string& error) {
    if (frames.empty()) {
        error = "a model needs at least one frame";
        return false;
    }
    const Mesh& first = frames.front().mesh;
    if (first.vertices.size() > MAX_INDEX || first.texCoords.size() > MAX_INDEX) {
        error = "too many vertices for 16-bit indices";
        return false;
    }
    for (const ModelFrame& frame : frames) {
        if (!SameTopology(first, frame.mesh)) {
            error = "frame " + frame.name + " has a different mesh from the first frame";
            return false;
        }
    }

    model = MD2WriterModel{};
    model.skinWidth = SKIN_SIZE;
    model.skinHeight = SKIN_SIZE;
    model.vertexCount = static_cast<std::int32_t>(first.vertices.size());
    for (const MeshTexCoord& tc : first.texCoords)
        model.texCoords.push_back({TexelCoordinate(tc.s), TexelCoordinate(tc.t)});
    // MD2 files list the corners the other way round from the mesh: seen from outside they turn
    // clockwise, which after the viewer's exchange of y and z is what its culling keeps.
    for (const MeshTriangle& tri : first.triangles) {
        MD2Triangle packed{};
        for (int k = 0; k < 3; ++k) {
            const int from = (3 - k) % 3; // corners 0, 2, 1
            packed.vertexIndex[k] = static_cast<std::uint16_t>(tri.vertex[from]);
            packed.texCoordIndex[k] = static_cast<std::uint16_t>(tri.texCoord[from]);
        }
        model.triangles.push_back(packed);
    }
    for (const ModelFrame& frame : frames)
        model.frames.push_back(PackFrame(frame));
    return true;
}
