#pragma once
// Meshes with the D3DX 9 names: the mesh object (vertex and index buffers on the device, one
// attribute id per face), memory buffers, the sphere builder, vertex normal computation and the
// conversions between flexible vertex formats and vertex declarations.

#include "platform/d3d9/Direct3D9.h"

// Mesh creation options.
constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_DONOTCLIP = 0x002;
constexpr DWORD D3DXMESH_POINTS = 0x004;
constexpr DWORD D3DXMESH_RTPATCHES = 0x008;
constexpr DWORD D3DXMESH_NPATCHES = 0x4000;
constexpr DWORD D3DXMESH_VB_SYSTEMMEM = 0x010;
constexpr DWORD D3DXMESH_VB_MANAGED = 0x020;
constexpr DWORD D3DXMESH_VB_WRITEONLY = 0x040;
constexpr DWORD D3DXMESH_VB_DYNAMIC = 0x080;
constexpr DWORD D3DXMESH_VB_SOFTWAREPROCESSING = 0x8000;
constexpr DWORD D3DXMESH_IB_SYSTEMMEM = 0x100;
constexpr DWORD D3DXMESH_IB_MANAGED = 0x200;
constexpr DWORD D3DXMESH_IB_WRITEONLY = 0x400;
constexpr DWORD D3DXMESH_IB_DYNAMIC = 0x800;
constexpr DWORD D3DXMESH_IB_SOFTWAREPROCESSING = 0x10000;
constexpr DWORD D3DXMESH_VB_SHARE = 0x1000;
constexpr DWORD D3DXMESH_USEHWONLY = 0x2000;
constexpr DWORD D3DXMESH_SYSTEMMEM = D3DXMESH_VB_SYSTEMMEM | D3DXMESH_IB_SYSTEMMEM;
constexpr DWORD D3DXMESH_MANAGED = D3DXMESH_VB_MANAGED | D3DXMESH_IB_MANAGED;
constexpr DWORD D3DXMESH_WRITEONLY = D3DXMESH_VB_WRITEONLY | D3DXMESH_IB_WRITEONLY;
constexpr DWORD D3DXMESH_DYNAMIC = D3DXMESH_VB_DYNAMIC | D3DXMESH_IB_DYNAMIC;
constexpr DWORD D3DXMESH_SOFTWAREPROCESSING = D3DXMESH_VB_SOFTWAREPROCESSING | D3DXMESH_IB_SOFTWAREPROCESSING;

// A declaration array that can hold any declaration, end marker included.
constexpr UINT MAX_FVF_DECL_SIZE = MAXD3DDECLLENGTH + 1;

// An adjacency entry for an edge that no other face shares.
constexpr DWORD D3DX_UNUSED_ADJACENCY = 0xFFFFFFFF;

// Faces FaceStart .. FaceStart + FaceCount - 1 carry AttribId and use only vertices
// VertexStart .. VertexStart + VertexCount - 1.
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

constexpr IID IID_ID3DXBuffer = {
    0x8BA5FB08, 0x5195, 0x40E2, {0xAC, 0x58, 0x0D, 0x98, 0x9C, 0x3A, 0x01, 0x02}};
constexpr IID IID_ID3DXBaseMesh = {
    0x7ED943DD, 0x52E8, 0x40B5, {0xA8, 0xD8, 0x76, 0x68, 0x5C, 0x40, 0x63, 0x30}};
constexpr IID IID_ID3DXMesh = {0x4020E5C2, 0x1403, 0x4929, {0x88, 0x3F, 0xE2, 0xE8, 0x49, 0xFA, 0xC1, 0x95}};

struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

struct ID3DXBaseMesh : IUnknown {
    // Draws the faces carrying the attribute id; returns the result of the last draw call.
    virtual HRESULT DrawSubset(DWORD AttribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    // Zero when the declaration has no flexible vertex format equivalent.
    virtual DWORD GetFVF() = 0;
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9 Declaration[MAX_FVF_DECL_SIZE]) = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) = 0;
    virtual HRESULT LockVertexBuffer(DWORD Flags, void** ppData) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD Flags, void** ppData) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a null table, *pAttribTableSize receives the number of entries.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) = 0;
    // Three entries per face: the face across edge (corner 0, 1), (1, 2) and (2, 0), or
    // D3DX_UNUSED_ADJACENCY. Vertices within Epsilon of each other in every coordinate count as one.
    virtual HRESULT GenerateAdjacency(float Epsilon, DWORD* pAdjacency) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    virtual HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* pAttribTable, DWORD cAttribTableSize) = 0;
};

HRESULT D3DXCreateBuffer(DWORD NumBytes, ID3DXBuffer** ppBuffer);

HRESULT D3DXCreateMesh(DWORD NumFaces, DWORD NumVertices, DWORD Options,
                       const D3DVERTEXELEMENT9* pDeclaration, IDirect3DDevice9* pD3DDevice,
                       ID3DXMesh** ppMesh);
HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF,
                          IDirect3DDevice9* pD3DDevice, ID3DXMesh** ppMesh);

// Radius FLT_MAX means 1; slices or stacks of UINT(-1) mean 8; both are clamped to 240.
HRESULT D3DXCreateSphere(IDirect3DDevice9* pDevice, float Radius, UINT Slices, UINT Stacks,
                         ID3DXMesh** ppMesh, ID3DXBuffer** ppAdjacency);

// Sets every vertex normal to the normalised sum of the area-weighted normals of the faces that
// use it. With adjacency, vertices that the adjacency joins share one normal.
HRESULT D3DXComputeNormals(ID3DXBaseMesh* pMesh, const DWORD* pAdjacency);

HRESULT D3DXDeclaratorFromFVF(DWORD FVF, D3DVERTEXELEMENT9 pDeclarator[MAX_FVF_DECL_SIZE]);
HRESULT D3DXFVFFromDeclarator(const D3DVERTEXELEMENT9* pDeclarator, DWORD* pFVF);
// Zero for a code that does not describe a vertex.
UINT D3DXGetFVFVertexSize(DWORD FVF);
UINT D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* pDecl, DWORD Stream);
// Number of elements before the end marker; MAX_FVF_DECL_SIZE when no end marker is within
// MAX_FVF_DECL_SIZE entries.
UINT D3DXGetDeclLength(const D3DVERTEXELEMENT9* pDecl);
