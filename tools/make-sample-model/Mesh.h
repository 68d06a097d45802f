#pragma once
// A triangle mesh assembled from closed convex parts, in the model file's axes (z up, face
// towards -y). Triangles here turn counter-clockwise seen from outside; the MD2 packing reverses
// them to the file's winding.

#include <vector>

#include "Geometry.h"
#include "SkinLayout.h"

struct MeshVertex {
    Vec3 position;
    Vec3 normal; // unit, pointing out of the part
};

struct MeshTexCoord {
    float s = 0.0f; // texels of the skin
    float t = 0.0f;
};

struct MeshTriangle {
    int vertex[3] = {};
    int texCoord[3] = {};
    int part = 0;
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<MeshTexCoord> texCoords;
    std::vector<MeshTriangle> triangles;
    std::vector<Vec3> partCentres; // a point inside each part, for the winding check

    void Shift(Vec3 offset);
    float LowestZ() const;
};

// Closed parts, each built in its own axes and placed with `place`.
void AddBox(Mesh& mesh, const Placement& place, Vec3 halfSize, const SkinRegion& region);

struct CylinderShape {
    float bottomZ = 0.0f;
    float topZ = 1.0f;
    float bottomRadiusX = 1.0f;
    float bottomRadiusY = 1.0f;
    float topRadiusX = 1.0f;
    float topRadiusY = 1.0f;
};
void AddCylinder(Mesh& mesh, const Placement& place, const CylinderShape& shape, int slices,
                 const SkinRegion& region);

void AddEllipsoid(Mesh& mesh, const Placement& place, Vec3 radii, int slices, int stacks,
                  const SkinRegion& region);
