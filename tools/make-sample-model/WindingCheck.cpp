#include "WindingCheck.h"

#include "model/MD2Normals.h"

namespace {

Vec3 DecodePosition(const MD2WriterFrame& frame, const MD2PackedVertex& v) {
    return {v.position[0] * frame.scale[0] + frame.translate[0],
            v.position[1] * frame.scale[1] + frame.translate[1],
            v.position[2] * frame.scale[2] + frame.translate[2]};
}

// The viewer scales the table normal by the frame scale before normalising it.
Vec3 DecodeNormal(const MD2WriterFrame& frame, const MD2PackedVertex& v) {
    const float* n = MD2Normals[v.normalIndex];
    return Normalized({n[0] * frame.scale[0], n[1] * frame.scale[1], n[2] * frame.scale[2]});
}

void CheckFrame(const MD2WriterModel& model, const MD2WriterFrame& frame, const Mesh& mesh,
                const std::vector<MeshTriangle>& parts, WindingReport& report) {
    for (std::size_t t = 0; t < model.triangles.size(); ++t) {
        const MD2Triangle& tri = model.triangles[t];
        Vec3 corner[3], normal[3];
        for (int k = 0; k < 3; ++k) {
            const MD2PackedVertex& v = frame.vertices[tri.vertexIndex[k]];
            corner[k] = DecodePosition(frame, v);
            normal[k] = DecodeNormal(frame, v);
        }
        ++report.triangles;
        const Vec3 cross = Cross(corner[1] - corner[0], corner[2] - corner[0]);
        if (Length(cross) == 0.0f) {
            ++report.degenerate;
            continue;
        }
        const Vec3 middle = (corner[0] + corner[1] + corner[2]) * (1.0f / 3.0f);
        if (Dot(cross, middle - mesh.partCentres[parts[t].part]) >= 0.0f)
            ++report.woundOutward;
        for (const Vec3& n : normal)
            if (Dot(n, cross) >= 0.0f)
                ++report.normalsInward;
    }
}

} // namespace

WindingReport CheckWinding(const MD2WriterModel& model, const std::vector<ModelFrame>& frames) {
    WindingReport report;
    for (std::size_t f = 0; f < frames.size() && f < model.frames.size(); ++f)
        CheckFrame(model, model.frames[f], frames[f].mesh, frames.front().mesh.triangles, report);
    return report;
}
