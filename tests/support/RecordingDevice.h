#pragma once
// A device that hands every call on to a real device and records what tests need to see: the
// stream set-up and indexed draws of meshes, the vertices of every DrawPrimitiveUP, and the
// order of the state and draw calls.

#include "platform/d3d9/Direct3D9.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct IndexedDraw {
    D3DPRIMITIVETYPE type;
    INT baseVertex;
    UINT minIndex;
    UINT numVertices;
    UINT startIndex;
    UINT primitiveCount;

    bool operator==(const IndexedDraw&) const = default;
};

struct UserPointerDraw {
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    DWORD fvf;
    UINT stride;
    std::vector<std::uint8_t> vertices;

    template <typename T> const T& Vertex(std::size_t i) const {
        return *reinterpret_cast<const T*>(vertices.data() + i * stride);
    }
};

inline UINT VerticesOf(D3DPRIMITIVETYPE type, UINT count) {
    switch (type) {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return count * 2;
    case D3DPT_LINESTRIP:
        return count + 1;
    case D3DPT_TRIANGLELIST:
        return count * 3;
    default:
        return count + 2;
    }
}

class RecordingDevice final : public IDirect3DDevice9 {
public:
    explicit RecordingDevice(IDirect3DDevice9* inner) : inner_(inner) { inner_->AddRef(); }
    ~RecordingDevice() override { inner_->Release(); }

    // References taken by others; the test owns the object itself.
    ULONG References() const { return references_; }
    std::vector<IndexedDraw> draws;
    std::vector<UserPointerDraw> userDraws;
    // "Name(arguments)" of each state, target and draw call, in order.
    std::vector<std::string> calls;
    DWORD fvf = 0;
    // Every matrix set, with its transform state, in order.
    std::vector<std::pair<D3DTRANSFORMSTATETYPE, D3DMATRIX>> transforms;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT streamStride = 0;
    IDirect3DIndexBuffer9* indices = nullptr;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }

    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override {
        draws.push_back({type, baseVertex, minIndex, numVertices, startIndex, primitiveCount});
        return inner_->DrawIndexedPrimitive(type, baseVertex, minIndex, numVertices, startIndex,
                                            primitiveCount);
    }
    HRESULT SetStreamSource(UINT number, IDirect3DVertexBuffer9* data, UINT offset, UINT stride) override {
        if (number == 0) {
            stream = data;
            streamStride = stride;
        }
        return inner_->SetStreamSource(number, data, offset, stride);
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* data) override {
        indices = data;
        return inner_->SetIndices(data);
    }
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* decl) override {
        declaration = decl;
        return inner_->SetVertexDeclaration(decl);
    }

    template <typename... Args> void Log(const char* name, Args... args) {
        std::string text = std::string(name) + "(";
        bool first = true;
        ((text += (first ? "" : ",") + std::to_string(static_cast<unsigned long long>(args)), first = false), ...);
        calls.push_back(text + ")");
    }

    // Everything else goes straight through.
    HRESULT TestCooperativeLevel() override { return inner_->TestCooperativeLevel(); }
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override { return inner_->GetDirect3D(ppD3D9); }
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override { return inner_->GetDeviceCaps(pCaps); }
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override {
        return inner_->GetDisplayMode(iSwapChain, pMode);
    }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override {
        return inner_->GetCreationParameters(pParameters);
    }
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override {
        return inner_->Reset(pPresentationParameters);
    }
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion) override {
        return inner_->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion);
    }
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override {
        return inner_->GetBackBuffer(iSwapChain, iBackBuffer, Type, ppBackBuffer);
    }
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override {
        return inner_->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle);
    }
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage,
                                D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture,
                                HANDLE* pSharedHandle) override {
        return inner_->CreateVolumeTexture(Width, Height, Depth, Levels, Usage, Format, Pool, ppVolumeTexture,
                                           pSharedHandle);
    }
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override {
        return inner_->CreateCubeTexture(EdgeLength, Levels, Usage, Format, Pool, ppCubeTexture,
                                         pSharedHandle);
    }
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override {
        return inner_->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer, pSharedHandle);
    }
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override {
        return inner_->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer, pSharedHandle);
    }
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override {
        return inner_->CreateRenderTarget(Width, Height, Format, MultiSample, MultisampleQuality, Lockable,
                                          ppSurface, pSharedHandle);
    }
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                      D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, BOOL Discard,
                                      IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
        return inner_->CreateDepthStencilSurface(Width, Height, Format, MultiSample, MultisampleQuality,
                                                 Discard, ppSurface, pSharedHandle);
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                          IDirect3DBaseTexture9* pDestinationTexture) override {
        return inner_->UpdateTexture(pSourceTexture, pDestinationTexture);
    }
    HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override {
        return inner_->GetRenderTargetData(pRenderTarget, pDestSurface);
    }
    HRESULT ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) override {
        return inner_->ColorFill(pSurface, pRect, color);
    }
    HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                        IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
        return inner_->CreateOffscreenPlainSurface(Width, Height, Format, Pool, ppSurface, pSharedHandle);
    }
    HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override {
        Log("SetRenderTarget", RenderTargetIndex);
        return inner_->SetRenderTarget(RenderTargetIndex, pRenderTarget);
    }
    HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override {
        return inner_->GetRenderTarget(RenderTargetIndex, ppRenderTarget);
    }
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override {
        return inner_->SetDepthStencilSurface(pNewZStencil);
    }
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override {
        return inner_->GetDepthStencilSurface(ppZStencilSurface);
    }
    HRESULT BeginScene() override {
        Log("BeginScene");
        return inner_->BeginScene();
    }
    HRESULT EndScene() override {
        Log("EndScene");
        return inner_->EndScene();
    }
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                  DWORD Stencil) override {
        Log("Clear", Flags, Color);
        return inner_->Clear(Count, pRects, Flags, Color, Z, Stencil);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override {
        Log("SetTransform", State);
        transforms.emplace_back(State, *pMatrix);
        return inner_->SetTransform(State, pMatrix);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override {
        return inner_->GetTransform(State, pMatrix);
    }
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override { return inner_->SetViewport(pViewport); }
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override { return inner_->GetViewport(pViewport); }
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override { return inner_->SetMaterial(pMaterial); }
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override { return inner_->GetMaterial(pMaterial); }
    HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override {
        Log("SetLight", Index);
        return inner_->SetLight(Index, pLight);
    }
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override { return inner_->GetLight(Index, pLight); }
    HRESULT LightEnable(DWORD Index, BOOL Enable) override {
        Log("LightEnable", Index, static_cast<DWORD>(Enable));
        return inner_->LightEnable(Index, Enable);
    }
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override {
        return inner_->GetLightEnable(Index, pEnable);
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override {
        Log("SetRenderState", State, Value);
        return inner_->SetRenderState(State, Value);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override {
        return inner_->GetRenderState(State, pValue);
    }
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override {
        return inner_->GetTexture(Stage, ppTexture);
    }
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override {
        Log("SetTexture", Stage, pTexture ? 1u : 0u);
        return inner_->SetTexture(Stage, pTexture);
    }
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override {
        return inner_->GetTextureStageState(Stage, Type, pValue);
    }
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override {
        Log("SetTextureStageState", Stage, Type, Value);
        return inner_->SetTextureStageState(Stage, Type, Value);
    }
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override {
        return inner_->GetSamplerState(Sampler, Type, pValue);
    }
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override {
        Log("SetSamplerState", Sampler, Type, Value);
        return inner_->SetSamplerState(Sampler, Type, Value);
    }
    HRESULT SetScissorRect(const RECT* pRect) override { return inner_->SetScissorRect(pRect); }
    HRESULT GetScissorRect(RECT* pRect) override { return inner_->GetScissorRect(pRect); }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
        return inner_->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                            const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
        {
            const UINT count = VerticesOf(PrimitiveType, PrimitiveCount);
            const auto* bytes = static_cast<const std::uint8_t*>(pVertexStreamZeroData);
            userDraws.push_back({PrimitiveType, PrimitiveCount, fvf, VertexStreamZeroStride,
                                 std::vector<std::uint8_t>(bytes, bytes + count * VertexStreamZeroStride)});
            Log("DrawPrimitiveUP", PrimitiveType, PrimitiveCount);
        }
        return inner_->DrawPrimitiveUP(PrimitiveType, PrimitiveCount, pVertexStreamZeroData,
                                       VertexStreamZeroStride);
    }
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
        return inner_->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertices, PrimitiveCount,
                                              pIndexData, IndexDataFormat, pVertexStreamZeroData,
                                              VertexStreamZeroStride);
    }
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                    IDirect3DVertexDeclaration9** ppDecl) override {
        return inner_->CreateVertexDeclaration(pVertexElements, ppDecl);
    }
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override {
        return inner_->GetVertexDeclaration(ppDecl);
    }
    HRESULT SetFVF(DWORD FVF) override {
        fvf = FVF;
        Log("SetFVF", FVF);
        return inner_->SetFVF(FVF);
    }
    HRESULT GetFVF(DWORD* pFVF) override { return inner_->GetFVF(pFVF); }
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override {
        return inner_->GetStreamSource(StreamNumber, ppStreamData, pOffsetInBytes, pStride);
    }
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override {
        return inner_->GetIndices(ppIndexData);
    }

private:
    IDirect3DDevice9* inner_;
    ULONG references_ = 0;
};

} // namespace testsupport
