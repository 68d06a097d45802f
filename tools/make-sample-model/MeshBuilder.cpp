#include <algorithm>
#include <limits>

#include "Mesh.h"

namespace {

// Adds the vertices and triangles of one part, placing everything given in the part's own axes.
class PartBuilder {
public:
    PartBuilder(Mesh& mesh, const Placement& place, const SkinRegion& region, Vec3 localCentre)
        : mesh_(mesh), place_(place), region_(region), part_(static_cast<int>(mesh.partCentres.size())) {
        mesh_.partCentres.push_back(place_.Point(localCentre));
    }

    // One vertex with its own texture coordinate; u, v run 0..1 over the part's skin region.
    int Vertex(Vec3 position, Vec3 normal, float u, float v) {
        mesh_.vertices.push_back({place_.Point(position), Normalized(place_.Direction(normal))});
        mesh_.texCoords.push_back({region_.S(u), region_.T(v)});
        return static_cast<int>(mesh_.vertices.size()) - 1;
    }

    // Corners counter-clockwise seen from outside the part.
    void Triangle(int a, int b, int c) { mesh_.triangles.push_back({{a, b, c}, {a, b, c}, part_}); }

    // Two triangles of a quad whose corners run counter-clockwise seen from outside.
    void Quad(int a, int b, int c, int d) {
        Triangle(a, b, c);
        Triangle(a, c, d);
    }

private:
    Mesh& mesh_;
    Placement place_;
    SkinRegion region_;
    int part_;
};

// Column angle around a part's axis: the seam (u = 0) lies at the back (+y), the front (-y) is
// u = 0.5. The last column reuses the first one's angle so both sides of the seam meet exactly.
float ColumnAngle(int column, int slices) {
    const float turn = 2.0f * std::numbers::pi_v<float>;
    return std::numbers::pi_v<float> / 2.0f +
           turn * static_cast<float>(column % slices) / static_cast<float>(slices);
}

float Fraction(int i, int n) {
    return static_cast<float>(i) / static_cast<float>(n);
}

struct BoxFace {
    Vec3 normal;
    Vec3 across; // across x up == normal, so corners taken in that order turn counter-clockwise
    Vec3 up;
};

constexpr BoxFace BOX_FACES[6] = {
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}},
};

Vec3 Scaled(Vec3 a, Vec3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

} // namespace

void Mesh::Shift(Vec3 offset) {
    for (MeshVertex& v : vertices)
        v.position = v.position + offset;
    for (Vec3& c : partCentres)
        c = c + offset;
}

float Mesh::LowestZ() const {
    float lowest = std::numeric_limits<float>::max();
    for (const MeshVertex& v : vertices)
        lowest = std::min(lowest, v.position.z);
    return lowest;
}

// Each face takes one cell of a 3 x 2 grid over the region; the bottom face is the sixth cell.
void AddBox(Mesh& mesh, const Placement& place, Vec3 halfSize, const SkinRegion& region) {
    PartBuilder part(mesh, place, region, {});
    for (int f = 0; f < 6; ++f) {
        const BoxFace& face = BOX_FACES[f];
        const float cellU = Fraction(f % 3, 3), cellV = Fraction(f / 3, 2);
        int corner[4];
        const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            const float a = signs[k][0], b = signs[k][1];
            const Vec3 p = Scaled(face.normal + face.across * a + face.up * b, halfSize);
            const float u = cellU + (a + 1.0f) / 6.0f, v = cellV + (1.0f - b) / 4.0f;
            corner[k] = part.Vertex(p, face.normal, u, v);
        }
        part.Quad(corner[0], corner[1], corner[2], corner[3]);
    }
}

// The side wraps the region (v from top to bottom); the flat caps take a disc in its middle.
void AddCylinder(Mesh& mesh, const Placement& place, const CylinderShape& shape, int slices,
                 const SkinRegion& region) {
    const float midZ = (shape.bottomZ + shape.topZ) / 2.0f;
    PartBuilder part(mesh, place, region, {0, 0, midZ});
    const float height = shape.topZ - shape.bottomZ;
    const float slopeX = (shape.topRadiusX - shape.bottomRadiusX) / height;
    const float slopeY = (shape.topRadiusY - shape.bottomRadiusY) / height;

    auto sidePoint = [&](int column, bool top, float& u) {
        const float angle = ColumnAngle(column, slices), c = std::cos(angle), s = std::sin(angle);
        const float rx = top ? shape.topRadiusX : shape.bottomRadiusX;
        const float ry = top ? shape.topRadiusY : shape.bottomRadiusY;
        // Cross product of the surface's derivatives along the angle and along the height.
        const Vec3 normal{ry * c, rx * s, -(rx * slopeY * s * s + ry * slopeX * c * c)};
        u = Fraction(column, slices);
        return MeshVertex{{rx * c, ry * s, top ? shape.topZ : shape.bottomZ}, normal};
    };

    std::vector<int> top(slices + 1), bottom(slices + 1);
    for (int j = 0; j <= slices; ++j) {
        float u = 0.0f;
        const MeshVertex t = sidePoint(j, true, u), b = sidePoint(j, false, u);
        top[j] = part.Vertex(t.position, t.normal, u, 0.0f);
        bottom[j] = part.Vertex(b.position, b.normal, u, 1.0f);
    }
    for (int j = 0; j < slices; ++j)
        part.Quad(top[j], bottom[j], bottom[j + 1], top[j + 1]);

    for (const bool isTop : {true, false}) {
        const float z = isTop ? shape.topZ : shape.bottomZ;
        const Vec3 normal{0, 0, isTop ? 1.0f : -1.0f};
        const float rx = isTop ? shape.topRadiusX : shape.bottomRadiusX;
        const float ry = isTop ? shape.topRadiusY : shape.bottomRadiusY;
        const int centre = part.Vertex({0, 0, z}, normal, 0.5f, 0.5f);
        std::vector<int> rim(slices);
        for (int j = 0; j < slices; ++j) {
            const float angle = ColumnAngle(j, slices), c = std::cos(angle), s = std::sin(angle);
            rim[j] = part.Vertex({rx * c, ry * s, z}, normal, 0.5f + 0.25f * c, 0.5f + 0.25f * s);
        }
        for (int j = 0; j < slices; ++j) {
            const int next = rim[(j + 1) % slices];
            if (isTop)
                part.Triangle(centre, rim[j], next);
            else
                part.Triangle(centre, next, rim[j]);
        }
    }
}

// Rings of latitude from the top pole (v = 0) to the bottom pole (v = 1); each pole is a fan
// with its own vertex per column so the skin is not pinched into one texel.
void AddEllipsoid(Mesh& mesh, const Placement& place, Vec3 radii, int slices, int stacks,
                  const SkinRegion& region) {
    PartBuilder part(mesh, place, region, {});
    const float pi = std::numbers::pi_v<float>;
    auto surface = [&](float polar, int column, float u, float v) {
        const float angle = ColumnAngle(column, slices);
        const Vec3 unit{std::sin(polar) * std::cos(angle), std::sin(polar) * std::sin(angle),
                        std::cos(polar)};
        const Vec3 p = Scaled(unit, radii);
        const Vec3 normal{p.x / (radii.x * radii.x), p.y / (radii.y * radii.y), p.z / (radii.z * radii.z)};
        return part.Vertex(p, normal, u, v);
    };

    std::vector<std::vector<int>> rings(stacks - 1, std::vector<int>(slices + 1));
    for (int i = 1; i < stacks; ++i)
        for (int j = 0; j <= slices; ++j)
            rings[i - 1][j] = surface(pi * Fraction(i, stacks), j, Fraction(j, slices), Fraction(i, stacks));

    for (int j = 0; j < slices; ++j) {
        const float u = (static_cast<float>(j) + 0.5f) / static_cast<float>(slices);
        const int top = surface(0.0f, j, u, 0.0f);
        part.Triangle(top, rings.front()[j], rings.front()[j + 1]);
        const int bottom = surface(pi, j, u, 1.0f);
        part.Triangle(bottom, rings.back()[j + 1], rings.back()[j]);
    }
    for (int i = 0; i + 1 < stacks - 1; ++i)
        for (int j = 0; j < slices; ++j)
            part.Quad(rings[i][j], rings[i + 1][j], rings[i + 1][j + 1], rings[i][j + 1]);
}
