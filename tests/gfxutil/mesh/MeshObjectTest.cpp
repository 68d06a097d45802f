#include "MeshTestSupport.h"
#include "support/RecordingDevice.h"

using namespace meshtest;
using namespace testsupport;

namespace {

constexpr DWORD kPositionNormal = D3DFVF_XYZ | D3DFVF_NORMAL;

IndexedDraw Draw(UINT minIndex, UINT numVertices, UINT startIndex, UINT primitiveCount) {
    return {D3DPT_TRIANGLELIST, 0, minIndex, numVertices, startIndex, primitiveCount};
}

void SetFaceIds(ID3DXMesh* mesh, const std::vector<DWORD>& ids) {
    DWORD* data = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &data), D3D_OK);
    std::copy(ids.begin(), ids.end(), data);
    ASSERT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
}

} // namespace

TEST_F(MeshTest, BuffersFollowTheCreationOptions) {
    struct Case {
        DWORD options;
        D3DPOOL pool;
        DWORD vertexUsage;
        D3DFORMAT indexFormat;
    };
    const Case cases[] = {{D3DXMESH_MANAGED, D3DPOOL_MANAGED, 0, D3DFMT_INDEX16},
                          {D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, D3DPOOL_SYSTEMMEM, 0, D3DFMT_INDEX32},
                          {D3DXMESH_VB_WRITEONLY | D3DXMESH_DYNAMIC, D3DPOOL_DEFAULT,
                           D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, D3DFMT_INDEX16}};
    for (const Case& c : cases) {
        Held<ID3DXMesh> mesh;
        ASSERT_EQ(D3DXCreateMeshFVF(4, 6, c.options, kPositionNormal, device.get(), mesh.Out()), D3D_OK);
        Held<IDirect3DVertexBuffer9> vertices;
        Held<IDirect3DIndexBuffer9> indices;
        ASSERT_EQ(mesh->GetVertexBuffer(vertices.Out()), D3D_OK);
        ASSERT_EQ(mesh->GetIndexBuffer(indices.Out()), D3D_OK);
        D3DVERTEXBUFFER_DESC vertexDesc{};
        D3DINDEXBUFFER_DESC indexDesc{};
        vertices->GetDesc(&vertexDesc);
        indices->GetDesc(&indexDesc);
        EXPECT_EQ(vertexDesc.Pool, c.pool);
        EXPECT_EQ(indexDesc.Pool, c.pool);
        EXPECT_EQ(vertexDesc.Usage, c.vertexUsage);
        EXPECT_EQ(vertexDesc.Size, 6u * 24u);
        EXPECT_EQ(indexDesc.Format, c.indexFormat);
        EXPECT_EQ(indexDesc.Size, 4u * 3u * (c.indexFormat == D3DFMT_INDEX32 ? 4u : 2u));
        EXPECT_EQ(mesh->GetOptions(), c.options);
    }
}

TEST_F(MeshTest, DeclarationAndFormatOfAMesh) {
    Held<ID3DXMesh> fromFvf;
    ASSERT_EQ(
        D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, kPositionNormal | D3DFVF_TEX1, device.get(), fromFvf.Out()),
        D3D_OK);
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(fromFvf->GetDeclaration(declaration), D3D_OK);
    EXPECT_EQ(D3DXGetDeclLength(declaration), 3u);
    EXPECT_EQ(declaration[2].Usage, D3DDECLUSAGE_TEXCOORD);
    EXPECT_EQ(fromFvf->GetNumBytesPerVertex(), 32u);

    // A declaration with no FVF form still makes a mesh; its FVF reads as 0.
    const D3DVERTEXELEMENT9 halfTexture[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT16_2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                             D3DDECL_END()};
    Held<ID3DXMesh> fromDeclaration;
    ASSERT_EQ(D3DXCreateMesh(1, 3, D3DXMESH_MANAGED, halfTexture, device.get(), fromDeclaration.Out()),
              D3D_OK);
    EXPECT_EQ(fromDeclaration->GetFVF(), 0u);
    EXPECT_EQ(fromDeclaration->GetNumBytesPerVertex(), 16u);
}

TEST_F(MeshTest, CreationRejectsBadArguments) {
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateMeshFVF(0, 3, D3DXMESH_MANAGED, kPositionNormal, device.get(), &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 0, D3DXMESH_MANAGED, kPositionNormal, device.get(), &mesh),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, kPositionNormal, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, kPositionNormal, device.get(), nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ | 0x900, device.get(), &mesh),
              D3DERR_INVALIDCALL);
    // 16-bit indices cannot reach a vertex past 65535.
    EXPECT_EQ(D3DXCreateMeshFVF(1, 70000, D3DXMESH_MANAGED, kPositionNormal, device.get(), &mesh),
              D3DERR_INVALIDCALL);
    // Buffers larger than 4 GiB.
    EXPECT_EQ(D3DXCreateMeshFVF(0x60000000, 3, D3DXMESH_32BIT, kPositionNormal, device.get(), &mesh),
              D3DERR_INVALIDCALL);
    const D3DVERTEXELEMENT9 secondStream[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                              {1, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                              D3DDECL_END()};
    EXPECT_EQ(D3DXCreateMesh(1, 3, D3DXMESH_MANAGED, secondStream, device.get(), &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(MeshTest, ReferencesAreCountedAndReturned) {
    RecordingDevice recorder(device.get());
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateSphere(&recorder, 1.0f, 5, 5, &mesh, nullptr), D3D_OK);
    EXPECT_EQ(recorder.References(), 1u) << "the mesh keeps its device";

    IDirect3DDevice9* fromMesh = nullptr;
    ASSERT_EQ(mesh->GetDevice(&fromMesh), D3D_OK);
    EXPECT_EQ(fromMesh, &recorder);
    EXPECT_EQ(recorder.References(), 2u);
    fromMesh->Release();

    IDirect3DVertexBuffer9* vertices = nullptr;
    ASSERT_EQ(mesh->GetVertexBuffer(&vertices), D3D_OK);
    EXPECT_EQ(vertices->Release(), 1u) << "the mesh holds the other reference";

    ID3DXBaseMesh* base = nullptr;
    ASSERT_EQ(mesh->QueryInterface(IID_ID3DXBaseMesh, reinterpret_cast<void**>(&base)), S_OK);
    EXPECT_EQ(base->Release(), 1u);
    EXPECT_EQ(mesh->AddRef(), 2u);
    EXPECT_EQ(mesh->Release(), 1u);
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(recorder.References(), 0u) << "the mesh gave its device back";

    // A failed creation keeps no reference either.
    EXPECT_EQ(D3DXCreateMeshFVF(1, 70000, 0, kPositionNormal, &recorder, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(recorder.References(), 0u);
}

TEST_F(MeshTest, SphereIsDrawnWithOneCall) {
    RecordingDevice recorder(device.get());
    Held<ID3DXMesh> sphere;
    ASSERT_EQ(D3DXCreateSphere(&recorder, 1.0f, 5, 5, sphere.Out(), nullptr), D3D_OK);
    ASSERT_EQ(recorder.BeginScene(), D3D_OK);
    EXPECT_EQ(sphere->DrawSubset(0), D3D_OK);
    ASSERT_EQ(recorder.draws.size(), 1u);
    EXPECT_EQ(recorder.draws[0], Draw(0, 22, 0, 40));

    Held<IDirect3DVertexBuffer9> vertices;
    Held<IDirect3DIndexBuffer9> indices;
    sphere->GetVertexBuffer(vertices.Out());
    sphere->GetIndexBuffer(indices.Out());
    EXPECT_EQ(recorder.stream, vertices.get());
    EXPECT_EQ(recorder.streamStride, 24u);
    EXPECT_EQ(recorder.indices, indices.get());
    EXPECT_NE(recorder.declaration, nullptr);

    recorder.draws.clear();
    EXPECT_EQ(sphere->DrawSubset(1), D3D_OK);
    EXPECT_TRUE(recorder.draws.empty()) << "no face carries id 1";
    recorder.EndScene();
}

TEST_F(MeshTest, EachRunOfFacesWithTheIdIsOneDraw) {
    RecordingDevice recorder(device.get());
    Held<ID3DXMesh> mesh;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, kPositionNormal, &recorder, mesh.Out()), D3D_OK);
    WriteIndices(mesh.get(), {0, 1, 2, 0, 2, 3, 2, 3, 4, 3, 4, 5});
    SetFaceIds(mesh.get(), {0, 0, 1, 0});

    ASSERT_EQ(recorder.BeginScene(), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(recorder.draws, (std::vector<IndexedDraw>{Draw(0, 6, 0, 2), Draw(0, 6, 9, 1)}));
    recorder.draws.clear();
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(recorder.draws, (std::vector<IndexedDraw>{Draw(0, 6, 6, 1)}));
    recorder.EndScene();
}

TEST_F(MeshTest, AttributeTableGivesOneDrawPerId) {
    RecordingDevice recorder(device.get());
    Held<ID3DXMesh> mesh;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, kPositionNormal, &recorder, mesh.Out()), D3D_OK);
    WriteIndices(mesh.get(), {0, 1, 2, 0, 2, 3, 2, 3, 4, 3, 4, 5});
    SetFaceIds(mesh.get(), {0, 0, 0, 7});
    const D3DXATTRIBUTERANGE table[] = {{0, 0, 3, 0, 5}, {7, 3, 1, 3, 3}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 2), D3D_OK);
    DWORD size = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &size), D3D_OK);
    EXPECT_EQ(size, 2u);

    ASSERT_EQ(recorder.BeginScene(), D3D_OK);
    mesh->DrawSubset(0);
    mesh->DrawSubset(7); // not at index 7: found by searching
    mesh->DrawSubset(3);
    EXPECT_EQ(recorder.draws, (std::vector<IndexedDraw>{Draw(0, 5, 0, 3), Draw(3, 3, 9, 1)}));

    const D3DXATTRIBUTERANGE pastTheEnd[] = {{0, 2, 3, 0, 6}};
    EXPECT_EQ(mesh->SetAttributeTable(pastTheEnd, 1), D3DERR_INVALIDCALL);

    // New ids written through the lock outdate the table; the faces are walked instead.
    SetFaceIds(mesh.get(), {7, 0, 0, 0});
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &size), D3D_OK);
    EXPECT_EQ(size, 0u);
    recorder.draws.clear();
    mesh->DrawSubset(7);
    EXPECT_EQ(recorder.draws, (std::vector<IndexedDraw>{Draw(0, 6, 0, 1)}));
    recorder.EndScene();
}

TEST_F(MeshTest, LitSphereCoversTheMiddleOfThePicture) {
    Held<ID3DXMesh> sphere;
    ASSERT_EQ(D3DXCreateSphere(device.get(), 1.0f, 5, 5, sphere.Out(), nullptr), D3D_OK);
    ASSERT_EQ(D3DXComputeNormals(sphere.get(), nullptr), D3D_OK);

    IDirect3DDevice9* d = device.get();
    D3DXMATRIX view;
    D3DXMATRIX projection;
    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    d->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&view, &eye, &at, &up));
    d->SetTransform(D3DTS_PROJECTION,
                    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 100.0f));
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    d->SetMaterial(&material);

    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(sphere->DrawSubset(0), D3D_OK);
    ASSERT_EQ(d->EndScene(), D3D_OK);

    Held<IDirect3DSurface9> backBuffer;
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.Out()), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto pixel = [&](int x, int y) {
        DWORD value;
        std::memcpy(&value, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        return value & 0x00FFFFFF;
    };
    EXPECT_GT(pixel(16, 16) & 0xFF, 0xC0u) << "the side facing the light is bright";
    for (auto [x, y] : {std::pair{0, 0}, std::pair{31, 0}, std::pair{0, 31}, std::pair{31, 31}})
        EXPECT_EQ(pixel(x, y), 0u) << x << ", " << y;
    backBuffer->UnlockRect();
}
