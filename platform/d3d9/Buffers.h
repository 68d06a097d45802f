#pragma once
// Vertex and index buffers: plain memory that the caller fills by locking.

#include "platform/d3d9/DeviceResource.h"

#include <new>
#include <vector>

// What vertex and index buffers share: their bytes, usage and the lock count.
template <typename Interface> class LockableBuffer : public DeviceResource<Interface> {
public:
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        if (!data || offset > data_.size() || (size != 0 && size > data_.size() - offset))
            return D3DERR_INVALIDCALL;
        ++locks_;
        *data = data_.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        if (locks_ == 0)
            return D3DERR_INVALIDCALL;
        --locks_;
        return D3D_OK;
    }

    const BYTE* Data() const { return data_.data(); }
    UINT Size() const { return UINT(data_.size()); }

protected:
    LockableBuffer(DeviceLinkPtr link, D3DPOOL pool) : DeviceResource<Interface>(std::move(link), pool, true) {}

    // Hands out the interface for IUnknown, the resource and `own`.
    HRESULT QueryBuffer(REFIID riid, REFIID own, void** object) {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == own) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    // Gives a new buffer `length` zero bytes and hands it out; a buffer that gets no memory goes.
    template <typename Buffer> static HRESULT Fill(Buffer* created, UINT length, DWORD usage, Buffer** buffer) {
        created->usage_ = usage;
        try {
            created->data_.assign(length, 0);
        } catch (const std::bad_alloc&) {
            created->Release();
            return E_OUTOFMEMORY;
        }
        *buffer = created;
        return D3D_OK;
    }

    std::vector<BYTE> data_;
    DWORD usage_ = 0;

private:
    int locks_ = 0;
};

class VertexBuffer : public LockableBuffer<IDirect3DVertexBuffer9> {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                          VertexBuffer** buffer);

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QueryBuffer(riid, IID_IDirect3DVertexBuffer9, object);
    }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

private:
    VertexBuffer(DeviceLinkPtr link, D3DPOOL pool) : LockableBuffer(std::move(link), pool) {}

    DWORD fvf_ = 0;
};

class IndexBuffer : public LockableBuffer<IDirect3DIndexBuffer9> {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IndexBuffer** buffer);

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return QueryBuffer(riid, IID_IDirect3DIndexBuffer9, object);
    }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    D3DFORMAT Format() const { return format_; }

private:
    IndexBuffer(DeviceLinkPtr link, D3DPOOL pool) : LockableBuffer(std::move(link), pool) {}

    D3DFORMAT format_ = D3DFMT_INDEX16;
};
