#include "gfxutil/mesh/Mesh.h"
#include "gfxutil/mesh/MeshGeometry.h"
#include "gfxutil/mesh/MeshTopology.h"

#include <algorithm>
#include <new>

HRESULT Mesh::GenerateAdjacency(float epsilon, DWORD* adjacency) {
    if (!adjacency || !(epsilon >= 0.0f))
        return D3DERR_INVALIDCALL;
    if (options_ & (D3DXMESH_VB_WRITEONLY | D3DXMESH_IB_WRITEONLY))
        return D3DERR_INVALIDCALL;
    const ElementPlace position = FindDeclarationElement(declaration_.data(), D3DDECLUSAGE_POSITION);
    if (!ReadablePosition(position))
        return D3DERR_INVALIDCALL;
    try {
        std::vector<DWORD> indices;
        {
            const MeshBufferLock lock(this, MeshBufferLock::Buffer::Indices,
                                      D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK);
            if (FAILED(lock.Result()))
                return lock.Result();
            const HRESULT hr = ReadFaceIndices(this, lock.Data(), &indices);
            if (FAILED(hr))
                return hr;
        }
        std::vector<D3DXVECTOR3> positions;
        {
            const MeshBufferLock lock(this, MeshBufferLock::Buffer::Vertices,
                                      D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK);
            if (FAILED(lock.Result()))
                return lock.Result();
            positions = ReadPositions(lock.Data(), numVertices_, vertexSize_, position);
        }
        const std::vector<DWORD> result =
            AdjacencyFromIndices(indices, PointRepresentatives(positions, epsilon));
        std::copy(result.begin(), result.end(), adjacency);
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
