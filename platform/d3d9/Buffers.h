#pragma once
// Vertex and index buffers: plain memory that the caller fills by locking.

#include "platform/d3d9/DeviceResource.h"

#include <vector>

class VertexBuffer : public DeviceResource<IDirect3DVertexBuffer9> {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                          VertexBuffer** buffer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const BYTE* Data() const { return data_.data(); }
    UINT Size() const { return UINT(data_.size()); }

private:
    VertexBuffer(DeviceLinkPtr link, D3DPOOL pool) : DeviceResource(std::move(link), pool, true) {}

    std::vector<BYTE> data_;
    DWORD usage_ = 0;
    DWORD fvf_ = 0;
    int locks_ = 0;
};

class IndexBuffer : public DeviceResource<IDirect3DIndexBuffer9> {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IndexBuffer** buffer);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    const BYTE* Data() const { return data_.data(); }
    UINT Size() const { return UINT(data_.size()); }
    D3DFORMAT Format() const { return format_; }

private:
    IndexBuffer(DeviceLinkPtr link, D3DPOOL pool) : DeviceResource(std::move(link), pool, true) {}

    std::vector<BYTE> data_;
    DWORD usage_ = 0;
    D3DFORMAT format_ = D3DFMT_INDEX16;
    int locks_ = 0;
};
