#pragma once
// Reading a mesh's geometry for the operations that work on it: buffer locks that are always
// released, face indices checked against the vertex count, and where an element lies in a vertex.

#include "gfxutil/math/D3DXMath.h"
#include "gfxutil/mesh/D3DX9Mesh.h"

#include <vector>

// Locks the mesh's vertex or index buffer for as long as it lives.
class MeshBufferLock {
public:
    enum class Buffer { Vertices, Indices };

    MeshBufferLock(ID3DXBaseMesh* mesh, Buffer buffer, DWORD flags);
    ~MeshBufferLock();
    MeshBufferLock(const MeshBufferLock&) = delete;
    MeshBufferLock& operator=(const MeshBufferLock&) = delete;

    HRESULT Result() const { return result_; }
    BYTE* Data() const { return data_; }

private:
    ID3DXBaseMesh* mesh_;
    Buffer buffer_;
    HRESULT result_;
    BYTE* data_ = nullptr;
};

// Where one element lies in a vertex; `present` is false when the declaration lacks it.
struct ElementPlace {
    bool present = false;
    UINT offset = 0;
    BYTE type = D3DDECLTYPE_UNUSED;
};

// The first element with the usage (usage index 0) in the mesh's declaration.
ElementPlace FindDeclarationElement(const D3DVERTEXELEMENT9* declaration, BYTE usage);

// Three indices per face, widened to 32 bits. D3DXERR_INVALIDDATA when an index is not a vertex
// of the mesh.
HRESULT ReadFaceIndices(ID3DXBaseMesh* mesh, const BYTE* indexData, std::vector<DWORD>* indices);

// The positions of all vertices; `position` must be a FLOAT3 or FLOAT4 element.
std::vector<D3DXVECTOR3> ReadPositions(const BYTE* vertexData, DWORD numVertices, UINT vertexSize,
                                       ElementPlace position);

bool ReadablePosition(const ElementPlace& position);
