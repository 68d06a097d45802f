#include "gfxutil/mesh/MeshGeometry.h"

#include <cstring>

MeshBufferLock::MeshBufferLock(ID3DXBaseMesh* mesh, Buffer buffer, DWORD flags)
    : mesh_(mesh), buffer_(buffer) {
    void* data = nullptr;
    result_ = buffer == Buffer::Vertices ? mesh->LockVertexBuffer(flags, &data)
                                         : mesh->LockIndexBuffer(flags, &data);
    if (SUCCEEDED(result_))
        data_ = static_cast<BYTE*>(data);
}

MeshBufferLock::~MeshBufferLock() {
    if (FAILED(result_))
        return;
    if (buffer_ == Buffer::Vertices)
        mesh_->UnlockVertexBuffer();
    else
        mesh_->UnlockIndexBuffer();
}

ElementPlace FindDeclarationElement(const D3DVERTEXELEMENT9* declaration, BYTE usage) {
    const UINT length = D3DXGetDeclLength(declaration);
    if (length == MAX_FVF_DECL_SIZE)
        return {};
    for (UINT i = 0; i < length; ++i) {
        const D3DVERTEXELEMENT9& element = declaration[i];
        if (element.Stream == 0 && element.Usage == usage && element.UsageIndex == 0)
            return {true, element.Offset, element.Type};
    }
    return {};
}

bool ReadablePosition(const ElementPlace& position) {
    return position.present && (position.type == D3DDECLTYPE_FLOAT3 || position.type == D3DDECLTYPE_FLOAT4);
}

HRESULT ReadFaceIndices(ID3DXBaseMesh* mesh, const BYTE* indexData, std::vector<DWORD>* indices) {
    const bool index32 = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    const std::size_t count = std::size_t(mesh->GetNumFaces()) * 3;
    const DWORD numVertices = mesh->GetNumVertices();
    indices->resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        DWORD index;
        if (index32) {
            std::memcpy(&index, indexData + 4 * i, 4);
        } else {
            WORD narrow;
            std::memcpy(&narrow, indexData + 2 * i, 2);
            index = narrow;
        }
        if (index >= numVertices)
            return D3DXERR_INVALIDDATA;
        (*indices)[i] = index;
    }
    return D3D_OK;
}

std::vector<D3DXVECTOR3> ReadPositions(const BYTE* vertexData, DWORD numVertices, UINT vertexSize,
                                       ElementPlace position) {
    std::vector<D3DXVECTOR3> positions(numVertices);
    for (DWORD v = 0; v < numVertices; ++v)
        std::memcpy(&positions[v], vertexData + std::size_t(v) * vertexSize + position.offset,
                    sizeof(D3DXVECTOR3));
    return positions;
}
