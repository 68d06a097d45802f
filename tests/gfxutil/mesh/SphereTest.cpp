#include "MeshTestSupport.h"

#include <cfloat>
#include <cmath>

using namespace meshtest;

namespace {

constexpr float kPi = 3.14159265358979323846f;

struct SphereSize {
    UINT slices;
    UINT stacks;
    DWORD vertices;
    DWORD faces;
};

void ExpectVertex(const PositionNormal& vertex, float radius, float x, float y, float z) {
    EXPECT_NEAR(vertex.normal.x, x, 1e-6f);
    EXPECT_NEAR(vertex.normal.y, y, 1e-6f);
    EXPECT_NEAR(vertex.normal.z, z, 1e-6f);
    EXPECT_NEAR(vertex.position.x, radius * x, 1e-5f);
    EXPECT_NEAR(vertex.position.y, radius * y, 1e-5f);
    EXPECT_NEAR(vertex.position.z, radius * z, 1e-5f);
}

void ExpectFace(const std::vector<WORD>& indices, DWORD face, WORD a, WORD b, WORD c) {
    EXPECT_EQ(indices[3 * face], a) << "face " << face;
    EXPECT_EQ(indices[3 * face + 1], b) << "face " << face;
    EXPECT_EQ(indices[3 * face + 2], c) << "face " << face;
}

} // namespace

using SphereTest = MeshTest;

TEST_F(SphereTest, CountsFollowSlicesAndStacks) {
    const SphereSize sizes[] = {{2, 2, 4, 4},
                                {5, 5, 22, 40},
                                {UINT(-1), UINT(-1), 8 * 7 + 2, 2 * 8 * 7},
                                {300, 300, 240 * 239 + 2, 2 * 240 * 239},
                                {3, 1000, 3 * 239 + 2, 2 * 3 * 239}};
    for (const SphereSize& size : sizes) {
        Held<ID3DXMesh> mesh;
        ASSERT_EQ(D3DXCreateSphere(device.get(), 1.0f, size.slices, size.stacks, mesh.Out(), nullptr),
                  D3D_OK);
        EXPECT_EQ(mesh->GetNumVertices(), size.vertices) << size.slices << " x " << size.stacks;
        EXPECT_EQ(mesh->GetNumFaces(), size.faces) << size.slices << " x " << size.stacks;
        EXPECT_EQ(mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL);
        EXPECT_EQ(mesh->GetOptions(), D3DXMESH_MANAGED);
        EXPECT_EQ(mesh->GetNumBytesPerVertex(), 24u);
        // Every index names a vertex of the sphere.
        for (WORD index : ReadIndices(mesh.get()))
            ASSERT_LT(index, size.vertices);
    }
}

TEST_F(SphereTest, ArgumentRules) {
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(this);
    EXPECT_EQ(D3DXCreateSphere(nullptr, 1.0f, 5, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(D3DXCreateSphere(device.get(), 1.0f, 5, 5, nullptr, nullptr), D3DERR_INVALIDCALL);
    const float badRadii[] = {-1.0f, -FLT_MIN, std::nanf(""), INFINITY};
    for (float radius : badRadii)
        EXPECT_EQ(D3DXCreateSphere(device.get(), radius, 5, 5, &mesh, nullptr), D3DERR_INVALIDCALL) << radius;
    for (UINT divisions : {0u, 1u}) {
        EXPECT_EQ(D3DXCreateSphere(device.get(), 1.0f, divisions, 5, &mesh, nullptr), D3DERR_INVALIDCALL);
        EXPECT_EQ(D3DXCreateSphere(device.get(), 1.0f, 5, divisions, &mesh, nullptr), D3DERR_INVALIDCALL);
    }
    EXPECT_EQ(mesh, nullptr);

    // FLT_MAX stands for the unit radius; a zero radius is allowed.
    Held<ID3DXMesh> unit;
    ASSERT_EQ(D3DXCreateSphere(device.get(), FLT_MAX, 5, 5, unit.Out(), nullptr), D3D_OK);
    ExpectVertex(ReadVertices(unit.get())[0], 1.0f, 0.0f, 0.0f, 1.0f);
    Held<ID3DXMesh> point;
    EXPECT_EQ(D3DXCreateSphere(device.get(), 0.0f, 5, 5, point.Out(), nullptr), D3D_OK);
}

TEST_F(SphereTest, VerticesRunFromPoleToPoleRingByRing) {
    const float radius = 2.0f;
    Held<ID3DXMesh> mesh;
    ASSERT_EQ(D3DXCreateSphere(device.get(), radius, 5, 5, mesh.Out(), nullptr), D3D_OK);
    const std::vector<PositionNormal> vertices = ReadVertices(mesh.get());
    ASSERT_EQ(vertices.size(), 22u);
    ExpectVertex(vertices[0], radius, 0.0f, 0.0f, 1.0f);
    const float phi = kPi / 5.0f;
    ExpectVertex(vertices[1], radius, 0.0f, std::sin(phi), std::cos(phi));
    const float theta = 2.0f * kPi / 5.0f;
    ExpectVertex(vertices[2], radius, std::sin(phi) * std::sin(theta), std::sin(phi) * std::cos(theta),
                 std::cos(phi));
    // First vertex of the second ring.
    ExpectVertex(vertices[6], radius, 0.0f, std::sin(2.0f * phi), std::cos(2.0f * phi));
    ExpectVertex(vertices[21], radius, 0.0f, 0.0f, -1.0f);
}

TEST_F(SphereTest, FacesRunFromTopCapThroughTheBandsToBottomCap) {
    Held<ID3DXMesh> mesh;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 1.0f, 5, 5, mesh.Out(), nullptr), D3D_OK);
    const std::vector<WORD> indices = ReadIndices(mesh.get());
    ASSERT_EQ(indices.size(), 120u);
    ExpectFace(indices, 0, 0, 2, 1);
    ExpectFace(indices, 3, 0, 5, 4);
    ExpectFace(indices, 4, 0, 1, 5);
    // First band: ring 1 (vertices 1..5) to ring 2 (6..10).
    ExpectFace(indices, 5, 1, 2, 6);
    ExpectFace(indices, 6, 2, 7, 6);
    ExpectFace(indices, 13, 5, 1, 10);
    ExpectFace(indices, 14, 1, 6, 10);
    // Second band starts at ring 2.
    ExpectFace(indices, 15, 6, 7, 11);
    // Bottom cap: last ring 16..20, south pole 21.
    ExpectFace(indices, 35, 16, 17, 21);
    ExpectFace(indices, 39, 20, 16, 21);
}

TEST_F(SphereTest, AdjacencyPairsEveryEdgeBothWays) {
    Held<ID3DXMesh> mesh;
    Held<ID3DXBuffer> adjacency;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 1.0f, 5, 5, mesh.Out(), adjacency.Out()), D3D_OK);
    ASSERT_TRUE(adjacency);
    ASSERT_EQ(adjacency->GetBufferSize(), 3u * 40u * sizeof(DWORD));
    const DWORD* neighbours = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    for (DWORD face = 0; face < 40; ++face) {
        for (DWORD edge = 0; edge < 3; ++edge) {
            const DWORD other = neighbours[3 * face + edge];
            ASSERT_LT(other, 40u) << "a closed sphere has no open edge";
            EXPECT_NE(other, face);
            const DWORD* back = neighbours + 3 * other;
            EXPECT_TRUE(back[0] == face || back[1] == face || back[2] == face);
        }
    }
    // The first top-cap face (0, 2, 1) meets face 1 across (0, 2), the first band face across
    // (2, 1) and the last cap face across (1, 0).
    EXPECT_EQ(neighbours[0], 1u);
    EXPECT_EQ(neighbours[1], 5u);
    EXPECT_EQ(neighbours[2], 4u);
}
