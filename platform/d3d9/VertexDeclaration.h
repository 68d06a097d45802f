#pragma once
// A vertex declaration object: the caller's element list and the layout taken from it.

#include "platform/d3d9/DeviceResource.h"
#include "platform/d3d9/VertexLayout.h"

#include <vector>

class VertexDeclaration : public ComObject<IDirect3DVertexDeclaration9> {
public:
    // Null elements, a missing end marker within MAXD3DDECLLENGTH entries or an unusable layout
    // give D3DERR_INVALIDCALL.
    static HRESULT Create(DeviceLinkPtr link, const D3DVERTEXELEMENT9* elements,
                          VertexDeclaration** declaration);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetLinkedDevice(link_, device); }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

    const VertexLayout& Layout() const { return layout_; }

private:
    VertexDeclaration() = default;

    DeviceLinkPtr link_;
    std::vector<D3DVERTEXELEMENT9> elements_; // including the end marker
    VertexLayout layout_;
};
