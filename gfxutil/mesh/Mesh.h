#pragma once
// The mesh object: vertices and indices in device buffers, one attribute id per face in memory,
// and an optional attribute table telling which faces and vertices each id uses.

#include "gfxutil/mesh/D3DX9Mesh.h"
#include "platform/os/ComObject.h"

#include <vector>

class Mesh : public ComObject<ID3DXMesh> {
public:
    // Creates the buffers and the declaration on the device. The declaration must be valid and
    // use stream 0 only.
    static HRESULT Create(DWORD numFaces, DWORD numVertices, DWORD options,
                          const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device, ID3DXMesh** mesh);

    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return numFaces_; }
    DWORD GetNumVertices() override { return numVertices_; }
    DWORD GetFVF() override { return fvf_; }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override;
    DWORD GetNumBytesPerVertex() override { return vertexSize_; }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;

    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

private:
    Mesh() = default;
    ~Mesh() override;

    HRESULT CreateDeviceObjects(IDirect3DDevice9* device);
    HRESULT DrawFromTable(DWORD attribId);
    HRESULT DrawAttributeRuns(DWORD attribId);

    IDirect3DDevice9* device_ = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer_ = nullptr;
    IDirect3DIndexBuffer9* indexBuffer_ = nullptr;
    IDirect3DVertexDeclaration9* vertexDeclaration_ = nullptr;
    std::vector<D3DVERTEXELEMENT9> declaration_; // with the end marker
    DWORD numFaces_ = 0;
    DWORD numVertices_ = 0;
    DWORD options_ = 0;
    DWORD fvf_ = 0;
    DWORD vertexSize_ = 0;
    std::vector<DWORD> attributes_; // one id per face
    int attributeLocks_ = 0;
    bool attributesWritten_ = false;
    std::vector<D3DXATTRIBUTERANGE> attributeTable_;
};
