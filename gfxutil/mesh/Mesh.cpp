#include "gfxutil/mesh/Mesh.h"

#include <algorithm>
#include <new>

namespace {

// The option bits that concern one of the two buffers.
struct BufferOptionBits {
    DWORD systemMemory;
    DWORD managed;
    DWORD writeOnly;
    DWORD dynamic;
    DWORD softwareProcessing;
};

constexpr BufferOptionBits kVertexBufferBits{D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED,
                                             D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC,
                                             D3DXMESH_VB_SOFTWAREPROCESSING};
constexpr BufferOptionBits kIndexBufferBits{D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED, D3DXMESH_IB_WRITEONLY,
                                            D3DXMESH_IB_DYNAMIC, D3DXMESH_IB_SOFTWAREPROCESSING};

D3DPOOL BufferPool(DWORD options, const BufferOptionBits& bits) {
    if (options & bits.systemMemory)
        return D3DPOOL_SYSTEMMEM;
    if (options & bits.managed)
        return D3DPOOL_MANAGED;
    return D3DPOOL_DEFAULT;
}

DWORD BufferUsage(DWORD options, const BufferOptionBits& bits) {
    DWORD usage = 0;
    if (options & D3DXMESH_DONOTCLIP)
        usage |= D3DUSAGE_DONOTCLIP;
    if (options & D3DXMESH_POINTS)
        usage |= D3DUSAGE_POINTS;
    if (options & D3DXMESH_RTPATCHES)
        usage |= D3DUSAGE_RTPATCHES;
    if (options & D3DXMESH_NPATCHES)
        usage |= D3DUSAGE_NPATCHES;
    if (options & bits.writeOnly)
        usage |= D3DUSAGE_WRITEONLY;
    if (options & bits.dynamic)
        usage |= D3DUSAGE_DYNAMIC;
    if (options & bits.softwareProcessing)
        usage |= D3DUSAGE_SOFTWAREPROCESSING;
    return usage;
}

bool KnownElementType(BYTE type) {
    return type < D3DDECLTYPE_UNUSED;
}

// A mesh draws from one vertex stream.
bool ValidMeshDeclaration(const D3DVERTEXELEMENT9* declaration) {
    const UINT length = D3DXGetDeclLength(declaration);
    if (length == 0 || length == MAX_FVF_DECL_SIZE)
        return false;
    return std::all_of(declaration, declaration + length, [](const D3DVERTEXELEMENT9& element) {
        return element.Stream == 0 && KnownElementType(element.Type);
    });
}

bool BuffersFitSizes(DWORD numFaces, DWORD numVertices, DWORD options, UINT vertexSize) {
    const bool index32 = (options & D3DXMESH_32BIT) != 0;
    if (!index32 && numVertices > 0xFFFF)
        return false;
    const std::uint64_t indexBytes = std::uint64_t(numFaces) * 3 * (index32 ? 4 : 2);
    const std::uint64_t vertexBytes = std::uint64_t(numVertices) * vertexSize;
    return indexBytes <= 0xFFFFFFFFu && vertexBytes <= 0xFFFFFFFFu;
}

bool RangeFits(DWORD start, DWORD count, DWORD total) {
    return start <= total && count <= total - start;
}

} // namespace

HRESULT Mesh::Create(DWORD numFaces, DWORD numVertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                     IDirect3DDevice9* device, ID3DXMesh** mesh) {
    if (!mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (!device || !declaration || numFaces == 0 || numVertices == 0 || !ValidMeshDeclaration(declaration))
        return D3DERR_INVALIDCALL;
    const UINT vertexSize = D3DXGetDeclVertexSize(declaration, 0);
    if (vertexSize == 0 || !BuffersFitSizes(numFaces, numVertices, options, vertexSize))
        return D3DERR_INVALIDCALL;

    Mesh* created = new (std::nothrow) Mesh();
    if (!created)
        return E_OUTOFMEMORY;
    created->numFaces_ = numFaces;
    created->numVertices_ = numVertices;
    created->options_ = options;
    created->vertexSize_ = vertexSize;
    if (FAILED(D3DXFVFFromDeclarator(declaration, &created->fvf_)))
        created->fvf_ = 0;
    try {
        created->declaration_.assign(declaration, declaration + D3DXGetDeclLength(declaration) + 1);
        created->attributes_.assign(numFaces, 0);
    } catch (const std::bad_alloc&) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = created->CreateDeviceObjects(device);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *mesh = created;
    return D3D_OK;
}

HRESULT Mesh::CreateDeviceObjects(IDirect3DDevice9* device) {
    device_ = device;
    device_->AddRef();
    HRESULT hr =
        device->CreateVertexBuffer(numVertices_ * vertexSize_, BufferUsage(options_, kVertexBufferBits), fvf_,
                                   BufferPool(options_, kVertexBufferBits), &vertexBuffer_, nullptr);
    if (FAILED(hr))
        return hr;
    const bool index32 = (options_ & D3DXMESH_32BIT) != 0;
    hr = device->CreateIndexBuffer(numFaces_ * 3 * (index32 ? 4 : 2), BufferUsage(options_, kIndexBufferBits),
                                   index32 ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                   BufferPool(options_, kIndexBufferBits), &indexBuffer_, nullptr);
    if (FAILED(hr))
        return hr;
    return device->CreateVertexDeclaration(declaration_.data(), &vertexDeclaration_);
}

Mesh::~Mesh() {
    SafeRelease(vertexDeclaration_);
    SafeRelease(indexBuffer_);
    SafeRelease(vertexBuffer_);
    SafeRelease(device_);
}

HRESULT Mesh::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ID3DXBaseMesh || riid == IID_ID3DXMesh) {
        *object = static_cast<ID3DXMesh*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Mesh::DrawSubset(DWORD attribId) {
    if (!vertexBuffer_)
        return D3D_OK;
    device_->SetVertexDeclaration(vertexDeclaration_);
    device_->SetStreamSource(0, vertexBuffer_, 0, vertexSize_);
    device_->SetIndices(indexBuffer_);
    return attributeTable_.empty() ? DrawAttributeRuns(attribId) : DrawFromTable(attribId);
}

HRESULT Mesh::DrawFromTable(DWORD attribId) {
    const D3DXATTRIBUTERANGE* entry = nullptr;
    if (attribId < attributeTable_.size() && attributeTable_[attribId].AttribId == attribId) {
        entry = &attributeTable_[attribId];
    } else {
        const auto found =
            std::find_if(attributeTable_.begin(), attributeTable_.end(),
                         [attribId](const D3DXATTRIBUTERANGE& range) { return range.AttribId == attribId; });
        if (found != attributeTable_.end())
            entry = &*found;
    }
    if (!entry || entry->FaceCount == 0)
        return D3D_OK;
    return device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, entry->VertexStart, entry->VertexCount,
                                         3 * entry->FaceStart, entry->FaceCount);
}

HRESULT Mesh::DrawAttributeRuns(DWORD attribId) {
    HRESULT result = D3D_OK;
    DWORD face = 0;
    while (face < numFaces_) {
        if (attributes_[face] != attribId) {
            ++face;
            continue;
        }
        const DWORD first = face;
        while (face < numFaces_ && attributes_[face] == attribId)
            ++face;
        result =
            device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, numVertices_, 3 * first, face - first);
    }
    return result;
}

HRESULT Mesh::GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) {
    if (!declaration)
        return D3DERR_INVALIDCALL;
    std::copy(declaration_.begin(), declaration_.end(), declaration);
    return D3D_OK;
}

HRESULT Mesh::GetDevice(IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = device_;
    device_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer) {
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = vertexBuffer_;
    vertexBuffer_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer) {
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = indexBuffer_;
    indexBuffer_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, void** data) {
    return vertexBuffer_->Lock(0, 0, data, flags);
}

HRESULT Mesh::UnlockVertexBuffer() {
    return vertexBuffer_->Unlock();
}

HRESULT Mesh::LockIndexBuffer(DWORD flags, void** data) {
    return indexBuffer_->Lock(0, 0, data, flags);
}

HRESULT Mesh::UnlockIndexBuffer() {
    return indexBuffer_->Unlock();
}

HRESULT Mesh::LockAttributeBuffer(DWORD flags, DWORD** data) {
    if (!data)
        return D3DERR_INVALIDCALL;
    ++attributeLocks_;
    if ((flags & D3DLOCK_READONLY) == 0)
        attributesWritten_ = true;
    *data = attributes_.data();
    return D3D_OK;
}

// Ids written through the lock may no longer match the table, so the table is dropped and the
// faces are drawn by walking their ids.
HRESULT Mesh::UnlockAttributeBuffer() {
    if (attributeLocks_ == 0)
        return D3DERR_INVALIDCALL;
    if (--attributeLocks_ == 0 && attributesWritten_) {
        attributeTable_.clear();
        attributesWritten_ = false;
    }
    return D3D_OK;
}

HRESULT Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (!size)
        return D3DERR_INVALIDCALL;
    if (table)
        std::copy(attributeTable_.begin(), attributeTable_.end(), table);
    *size = DWORD(attributeTable_.size());
    return D3D_OK;
}

HRESULT Mesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (!table && size != 0)
        return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < size; ++i)
        if (!RangeFits(table[i].FaceStart, table[i].FaceCount, numFaces_) ||
            !RangeFits(table[i].VertexStart, table[i].VertexCount, numVertices_))
            return D3DERR_INVALIDCALL;
    try {
        attributeTable_.assign(table, table + size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT D3DXCreateMesh(DWORD numFaces, DWORD numVertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh) {
    return Mesh::Create(numFaces, numVertices, options, declaration, device, mesh);
}

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh) {
    if (mesh)
        *mesh = nullptr;
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    if (FAILED(D3DXDeclaratorFromFVF(fvf, declaration)))
        return D3DERR_INVALIDCALL;
    return Mesh::Create(numFaces, numVertices, options, declaration, device, mesh);
}
