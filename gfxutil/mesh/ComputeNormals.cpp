#include "gfxutil/mesh/D3DX9Mesh.h"
#include "gfxutil/mesh/MeshGeometry.h"
#include "gfxutil/mesh/MeshTopology.h"

#include <cstring>
#include <new>
#include <numeric>

namespace {

D3DXVECTOR3 Difference(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Accumulate(D3DXVECTOR3& sum, const D3DXVECTOR3& v) {
    sum.x += v.x;
    sum.y += v.y;
    sum.z += v.z;
}

// Per point, the sum of (P0 - P1) x (P0 - P2) over the faces touching it: each face counts with
// twice its area.
std::vector<D3DXVECTOR3> SumFaceNormals(const std::vector<DWORD>& indices,
                                        const std::vector<D3DXVECTOR3>& positions,
                                        const std::vector<DWORD>& points) {
    std::vector<D3DXVECTOR3> sums(positions.size(), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    for (std::size_t corner = 0; corner < indices.size(); corner += 3) {
        const D3DXVECTOR3& p0 = positions[indices[corner]];
        const D3DXVECTOR3& p1 = positions[indices[corner + 1]];
        const D3DXVECTOR3& p2 = positions[indices[corner + 2]];
        const D3DXVECTOR3 normal = Cross(Difference(p0, p1), Difference(p0, p2));
        for (std::size_t k = 0; k < 3; ++k)
            Accumulate(sums[points[indices[corner + k]]], normal);
    }
    return sums;
}

void WriteNormals(BYTE* vertexData, UINT vertexSize, UINT normalOffset, const std::vector<D3DXVECTOR3>& sums,
                  const std::vector<DWORD>& points) {
    for (std::size_t v = 0; v < points.size(); ++v) {
        D3DXVECTOR3 normal = sums[points[v]];
        D3DXVec3Normalize(&normal, &normal);
        std::memcpy(vertexData + v * vertexSize + normalOffset, &normal, sizeof(normal));
    }
}

HRESULT ComputeNormalsLocked(ID3DXBaseMesh* mesh, const DWORD* adjacency, ElementPlace position,
                             ElementPlace normal) {
    std::vector<DWORD> indices;
    const MeshBufferLock indexLock(mesh, MeshBufferLock::Buffer::Indices, D3DLOCK_NOSYSLOCK);
    if (FAILED(indexLock.Result()))
        return indexLock.Result();
    HRESULT hr = ReadFaceIndices(mesh, indexLock.Data(), &indices);
    if (FAILED(hr))
        return hr;

    const DWORD numVertices = mesh->GetNumVertices();
    std::vector<DWORD> points(numVertices);
    if (adjacency) {
        if (!PointRepresentativesFromAdjacency(indices, adjacency, numVertices, &points))
            return D3DERR_INVALIDCALL;
    } else {
        std::iota(points.begin(), points.end(), 0u);
    }

    const MeshBufferLock vertexLock(mesh, MeshBufferLock::Buffer::Vertices, D3DLOCK_NOSYSLOCK);
    if (FAILED(vertexLock.Result()))
        return vertexLock.Result();
    const UINT vertexSize = mesh->GetNumBytesPerVertex();
    const std::vector<D3DXVECTOR3> positions =
        ReadPositions(vertexLock.Data(), numVertices, vertexSize, position);
    WriteNormals(vertexLock.Data(), vertexSize, normal.offset, SumFaceNormals(indices, positions, points),
                 points);
    return D3D_OK;
}

} // namespace

HRESULT D3DXComputeNormals(ID3DXBaseMesh* mesh, const DWORD* adjacency) {
    if (!mesh || (mesh->GetOptions() & (D3DXMESH_VB_WRITEONLY | D3DXMESH_IB_WRITEONLY)))
        return D3DERR_INVALIDCALL;
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    if (FAILED(mesh->GetDeclaration(declaration)))
        return D3DERR_INVALIDCALL;
    const ElementPlace position = FindDeclarationElement(declaration, D3DDECLUSAGE_POSITION);
    const ElementPlace normal = FindDeclarationElement(declaration, D3DDECLUSAGE_NORMAL);
    if (!ReadablePosition(position) || !normal.present || normal.type != D3DDECLTYPE_FLOAT3)
        return D3DERR_INVALIDCALL;
    try {
        return ComputeNormalsLocked(mesh, adjacency, position, normal);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
