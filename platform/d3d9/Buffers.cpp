#include "platform/d3d9/Buffers.h"

#include <new>

namespace {

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
        created->fvf_ = fvf;
        return Fill(created, length, usage, buffer);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
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
        created->format_ = format;
        return Fill(created, length, usage, buffer);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, Pool(), Size()};
    return D3D_OK;
}
