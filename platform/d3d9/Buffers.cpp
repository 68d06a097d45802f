#include "platform/d3d9/Buffers.h"

#include <new>

namespace {

HRESULT LockRange(std::vector<BYTE>& data, UINT offset, UINT size, void** result, int& locks) {
    if (!result)
        return D3DERR_INVALIDCALL;
    if (offset > data.size() || (size != 0 && size > data.size() - offset))
        return D3DERR_INVALIDCALL;
    ++locks;
    *result = data.data() + offset;
    return D3D_OK;
}

HRESULT UnlockRange(int& locks) {
    if (locks == 0)
        return D3DERR_INVALIDCALL;
    --locks;
    return D3D_OK;
}

bool ValidPool(D3DPOOL pool) {
    return pool <= D3DPOOL_SCRATCH;
}

} // namespace

HRESULT VertexBuffer::Create(DeviceLinkPtr link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) {
    if (!buffer || length == 0 || !ValidPool(pool) || pool == D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    try {
        auto* created = new VertexBuffer(std::move(link), pool);
        created->usage_ = usage;
        created->fvf_ = fvf;
        try {
            created->data_.assign(length, 0);
        } catch (const std::bad_alloc&) {
            created->Release();
            return E_OUTOFMEMORY;
        }
        *buffer = created;
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VertexBuffer::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DVertexBuffer9) {
        *object = static_cast<IDirect3DVertexBuffer9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
    return LockRange(data_, offset, size, data, locks_);
}

HRESULT VertexBuffer::Unlock() {
    return UnlockRange(locks_);
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, Pool(), Size(), fvf_};
    return D3D_OK;
}

HRESULT IndexBuffer::Create(DeviceLinkPtr link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IndexBuffer** buffer) {
    if (!buffer || length == 0 || !ValidPool(pool) || pool == D3DPOOL_SCRATCH ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    try {
        auto* created = new IndexBuffer(std::move(link), pool);
        created->usage_ = usage;
        created->format_ = format;
        try {
            created->data_.assign(length, 0);
        } catch (const std::bad_alloc&) {
            created->Release();
            return E_OUTOFMEMORY;
        }
        *buffer = created;
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT IndexBuffer::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DIndexBuffer9) {
        *object = static_cast<IDirect3DIndexBuffer9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
    return LockRange(data_, offset, size, data, locks_);
}

HRESULT IndexBuffer::Unlock() {
    return UnlockRange(locks_);
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, Pool(), Size()};
    return D3D_OK;
}
