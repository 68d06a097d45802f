#include "platform/d3d9/VertexDeclaration.h"

#include <algorithm>
#include <new>

HRESULT VertexDeclaration::Create(DeviceLinkPtr link, const D3DVERTEXELEMENT9* elements,
                                  VertexDeclaration** declaration) {
    if (!elements || !declaration)
        return D3DERR_INVALIDCALL;
    UINT count = 0;
    while (count < MAXD3DDECLLENGTH && elements[count].Stream != 0xFF)
        ++count;
    if (count == MAXD3DDECLLENGTH)
        return D3DERR_INVALIDCALL;
    VertexLayout layout;
    if (!LayoutFromDeclaration(elements, count, &layout))
        return D3DERR_INVALIDCALL;
    try {
        auto* created = new VertexDeclaration();
        created->link_ = std::move(link);
        created->elements_.assign(elements, elements + count + 1);
        created->layout_ = layout;
        *declaration = created;
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VertexDeclaration::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DVertexDeclaration9) {
        *object = static_cast<IDirect3DVertexDeclaration9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
    if (!count)
        return D3DERR_INVALIDCALL;
    if (elements)
        std::copy(elements_.begin(), elements_.end(), elements);
    *count = UINT(elements_.size());
    return D3D_OK;
}
