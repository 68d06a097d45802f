#include "MeshTestSupport.h"

#include <algorithm>

using namespace meshtest;

namespace {

constexpr DWORD U = D3DX_UNUSED_ADJACENCY;

void ExpectNormal(const D3DXVECTOR3& normal, float x, float y, float z, const char* what) {
    EXPECT_NEAR(normal.x, x, 1e-5f) << what;
    EXPECT_NEAR(normal.y, y, 1e-5f) << what;
    EXPECT_NEAR(normal.z, z, 1e-5f) << what;
}

} // namespace

// Two faces folded along the edge from (0, 0, 0) to (1, 0, 0), each with vertices of its own,
// and a seventh vertex that no face uses.
class FoldedPairTest : public MeshTest {
protected:
    void SetUp() override {
        MeshTest::SetUp();
        ASSERT_EQ(
            D3DXCreateMeshFVF(2, 7, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, device.get(), mesh.Out()),
            D3D_OK);
        const D3DXVECTOR3 stale(5.0f, 5.0f, 5.0f);
        WriteVertices(mesh.get(), {{{0, 0, 0}, stale},
                                   {{1, 0, 0}, stale},
                                   {{0, 1, 1}, stale},
                                   {{1, 0, 0}, stale},
                                   {{0, 0, 0}, stale},
                                   {{0, 1, -1}, stale},
                                   {{3, 3, 3}, stale}});
        WriteIndices(mesh.get(), {0, 1, 2, 3, 4, 5});
    }

    Held<ID3DXMesh> mesh;
};

TEST_F(FoldedPairTest, WithoutAdjacencyEachVertexTakesItsOwnFaces) {
    ASSERT_EQ(D3DXComputeNormals(mesh.get(), nullptr), D3D_OK);
    const std::vector<PositionNormal> vertices = ReadVertices(mesh.get());
    const float r = std::sqrt(0.5f);
    for (int v = 0; v < 3; ++v)
        ExpectNormal(vertices[v].normal, 0.0f, -r, r, "first face");
    for (int v = 3; v < 6; ++v)
        ExpectNormal(vertices[v].normal, 0.0f, -r, -r, "second face");
    ExpectNormal(vertices[6].normal, 0.0f, 0.0f, 0.0f, "vertex of no face");
}

TEST_F(FoldedPairTest, WithAdjacencyTheSharedEdgeIsSmoothed) {
    DWORD adjacency[6] = {};
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacency), D3D_OK);
    const DWORD expected[6] = {1, U, U, 0, U, U};
    EXPECT_TRUE(std::equal(adjacency, adjacency + 6, expected));

    ASSERT_EQ(D3DXComputeNormals(mesh.get(), adjacency), D3D_OK);
    const std::vector<PositionNormal> vertices = ReadVertices(mesh.get());
    const float r = std::sqrt(0.5f);
    for (int v : {0, 1, 3, 4})
        ExpectNormal(vertices[v].normal, 0.0f, -1.0f, 0.0f, "on the shared edge");
    ExpectNormal(vertices[2].normal, 0.0f, -r, r, "first face apex");
    ExpectNormal(vertices[5].normal, 0.0f, -r, -r, "second face apex");
    ExpectNormal(vertices[6].normal, 0.0f, 0.0f, 0.0f, "vertex of no face");
}

TEST_F(FoldedPairTest, EpsilonDecidesWhichVerticesMeet) {
    std::vector<PositionNormal> vertices = ReadVertices(mesh.get());
    vertices[3].position.x += 1e-4f;
    WriteVertices(mesh.get(), vertices);
    DWORD adjacency[6] = {};
    ASSERT_EQ(mesh->GenerateAdjacency(0.0f, adjacency), D3D_OK);
    EXPECT_EQ(adjacency[0], U);
    ASSERT_EQ(mesh->GenerateAdjacency(1e-3f, adjacency), D3D_OK);
    EXPECT_EQ(adjacency[0], 1u);
    EXPECT_EQ(adjacency[3], 0u);
    EXPECT_EQ(mesh->GenerateAdjacency(-1.0f, adjacency), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->GenerateAdjacency(0.0f, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(FoldedPairTest, BadAdjacencyOrIndicesFailAndLeaveTheBuffersUnlocked) {
    const std::vector<PositionNormal> before = ReadVertices(mesh.get());
    const DWORD faceThatDoesNotExist[6] = {7, U, U, 0, U, U};
    EXPECT_EQ(D3DXComputeNormals(mesh.get(), faceThatDoesNotExist), D3DERR_INVALIDCALL);
    WriteIndices(mesh.get(), {0, 1, 2, 3, 4, 9});
    EXPECT_EQ(D3DXComputeNormals(mesh.get(), nullptr), D3DXERR_INVALIDDATA);
    DWORD adjacency[6];
    EXPECT_EQ(mesh->GenerateAdjacency(0.0f, adjacency), D3DXERR_INVALIDDATA);

    EXPECT_EQ(mesh->UnlockVertexBuffer(), D3DERR_INVALIDCALL) << "vertex buffer left locked";
    EXPECT_EQ(mesh->UnlockIndexBuffer(), D3DERR_INVALIDCALL) << "index buffer left locked";
    const std::vector<PositionNormal> after = ReadVertices(mesh.get());
    EXPECT_EQ(std::memcmp(before.data(), after.data(), before.size() * sizeof(PositionNormal)), 0);
}

TEST_F(MeshTest, SphereNormalsAreUnitAndPointOutwards) {
    Held<ID3DXMesh> sphere;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 3.0f, 5, 5, sphere.Out(), nullptr), D3D_OK);
    std::vector<PositionNormal> vertices = ReadVertices(sphere.get());
    for (PositionNormal& vertex : vertices)
        vertex.normal = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    WriteVertices(sphere.get(), vertices);

    Held<ID3DXBuffer> adjacency(nullptr);
    Held<ID3DXMesh> twin;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 3.0f, 5, 5, twin.Out(), adjacency.Out()), D3D_OK);
    ASSERT_EQ(D3DXComputeNormals(sphere.get(), nullptr), D3D_OK);
    ASSERT_EQ(D3DXComputeNormals(twin.get(), static_cast<const DWORD*>(adjacency->GetBufferPointer())),
              D3D_OK);

    const std::vector<PositionNormal> plain = ReadVertices(sphere.get());
    const std::vector<PositionNormal> joined = ReadVertices(twin.get());
    for (std::size_t v = 0; v < plain.size(); ++v) {
        const D3DXVECTOR3& n = plain[v].normal;
        const D3DXVECTOR3& p = plain[v].position;
        EXPECT_NEAR(Length(n), 1.0f, 1e-5f) << "vertex " << v;
        EXPECT_GT((n.x * p.x + n.y * p.y + n.z * p.z) / 3.0f, 0.9f) << "vertex " << v;
        // The sphere shares every vertex already, so adjacency changes nothing.
        ExpectNormal(joined[v].normal, n.x, n.y, n.z, "with adjacency");
    }
    ExpectNormal(plain[0].normal, 0.0f, 0.0f, 1.0f, "north pole");
    ExpectNormal(plain[21].normal, 0.0f, 0.0f, -1.0f, "south pole");
}

TEST_F(MeshTest, NormalsNeedAReadableMeshWithPositionAndNormal) {
    EXPECT_EQ(D3DXComputeNormals(nullptr, nullptr), D3DERR_INVALIDCALL);
    Held<ID3DXMesh> positionsOnly;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ, device.get(), positionsOnly.Out()),
              D3D_OK);
    EXPECT_EQ(D3DXComputeNormals(positionsOnly.get(), nullptr), D3DERR_INVALIDCALL);
    for (DWORD writeOnly : {D3DXMESH_VB_WRITEONLY, D3DXMESH_IB_WRITEONLY}) {
        Held<ID3DXMesh> mesh;
        ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_SYSTEMMEM | writeOnly, D3DFVF_XYZ | D3DFVF_NORMAL,
                                    device.get(), mesh.Out()),
                  D3D_OK);
        EXPECT_EQ(D3DXComputeNormals(mesh.get(), nullptr), D3DERR_INVALIDCALL);
    }
}

TEST_F(MeshTest, NormalsOfAMeshWithThirtyTwoBitIndices) {
    Held<ID3DXMesh> mesh;
    ASSERT_EQ(D3DXCreateMeshFVF(1, 4, D3DXMESH_MANAGED | D3DXMESH_32BIT, D3DFVF_XYZ | D3DFVF_NORMAL,
                                device.get(), mesh.Out()),
              D3D_OK);
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    WriteVertices(mesh.get(), {{{9, 9, 9}, zero}, {{0, 0, 0}, zero}, {{1, 0, 0}, zero}, {{0, 1, 0}, zero}});
    void* data = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
    const DWORD indices[3] = {1, 2, 3};
    std::memcpy(data, indices, sizeof(indices));
    mesh->UnlockIndexBuffer();

    ASSERT_EQ(D3DXComputeNormals(mesh.get(), nullptr), D3D_OK);
    const std::vector<PositionNormal> vertices = ReadVertices(mesh.get());
    ExpectNormal(vertices[0].normal, 0.0f, 0.0f, 0.0f, "vertex of no face");
    for (int v = 1; v < 4; ++v)
        ExpectNormal(vertices[v].normal, 0.0f, 0.0f, 1.0f, "triangle corner");
}
