#pragma once
// What the texture tests share: a headless device, a device wrapper that records the textures made
// through it and can make creation fail, and small in-memory BMP files.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "gfxutil/texture/D3DX9Tex.h"

class TextureDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = 64;
        params.BackBufferHeight = 64;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                    &device),
                  D3D_OK);
    }
    void TearDown() override {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Passes every call on to a real device. It keeps an extra reference to each texture made
// through it, so a test can check afterwards that nobody else still holds one.
class RecordingDevice final : public IDirect3DDevice9 {
public:
    explicit RecordingDevice(IDirect3DDevice9* inner) : inner_(inner) { inner_->AddRef(); }
    ~RecordingDevice() override {
        ReleaseRecorded();
        inner_->Release();
    }
    RecordingDevice(const RecordingDevice&) = delete;
    RecordingDevice& operator=(const RecordingDevice&) = delete;

    // The n-th texture creation (counting from 1) fails with E_OUTOFMEMORY; 0 for none.
    void FailCreateTextureAt(int n) { failCreateAt_ = n; }
    void FailUpdateTexture(bool fail) { failUpdate_ = fail; }
    // Changes the capabilities the device reports.
    void AdjustCaps(std::function<void(D3DCAPS9&)> adjust) { adjustCaps_ = std::move(adjust); }
    int TexturesCreated() const { return static_cast<int>(recorded_.size()); }
    // The i-th texture made (from 0), still alive through the recorded reference.
    IDirect3DTexture9* Recorded(int i) const { return recorded_.at(static_cast<std::size_t>(i)); }

    // Lets go of the recorded references; true when that freed every texture.
    bool ReleaseRecorded() {
        bool allFreed = true;
        for (IDirect3DTexture9* object : recorded_)
            allFreed = object->Release() == 0 && allFreed;
        recorded_.clear();
        return allFreed;
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return inner_->QueryInterface(riid, object);
    }
    ULONG AddRef() override { return 2; } // lives on the test's stack
    ULONG Release() override { return 1; }

    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override {
        if (++creations_ == failCreateAt_)
            return E_OUTOFMEMORY;
        const HRESULT hr =
            inner_->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle);
        if (SUCCEEDED(hr)) {
            (*ppTexture)->AddRef();
            recorded_.push_back(*ppTexture);
        }
        return hr;
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                          IDirect3DBaseTexture9* pDestinationTexture) override {
        if (failUpdate_)
            return D3DERR_INVALIDCALL;
        return inner_->UpdateTexture(pSourceTexture, pDestinationTexture);
    }

    HRESULT TestCooperativeLevel() override { return inner_->TestCooperativeLevel(); }
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override { return inner_->GetDirect3D(ppD3D9); }
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override {
        const HRESULT hr = inner_->GetDeviceCaps(pCaps);
        if (SUCCEEDED(hr) && adjustCaps_)
            adjustCaps_(*pCaps);
        return hr;
    }
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
    HRESULT BeginScene() override { return inner_->BeginScene(); }
    HRESULT EndScene() override { return inner_->EndScene(); }
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                  DWORD Stencil) override {
        return inner_->Clear(Count, pRects, Flags, Color, Z, Stencil);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override {
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
        return inner_->SetLight(Index, pLight);
    }
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override { return inner_->GetLight(Index, pLight); }
    HRESULT LightEnable(DWORD Index, BOOL Enable) override { return inner_->LightEnable(Index, Enable); }
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override {
        return inner_->GetLightEnable(Index, pEnable);
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override {
        return inner_->SetRenderState(State, Value);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override {
        return inner_->GetRenderState(State, pValue);
    }
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override {
        return inner_->GetTexture(Stage, ppTexture);
    }
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override {
        return inner_->SetTexture(Stage, pTexture);
    }
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override {
        return inner_->GetTextureStageState(Stage, Type, pValue);
    }
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override {
        return inner_->SetTextureStageState(Stage, Type, Value);
    }
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override {
        return inner_->GetSamplerState(Sampler, Type, pValue);
    }
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override {
        return inner_->SetSamplerState(Sampler, Type, Value);
    }
    HRESULT SetScissorRect(const RECT* pRect) override { return inner_->SetScissorRect(pRect); }
    HRESULT GetScissorRect(RECT* pRect) override { return inner_->GetScissorRect(pRect); }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
        return inner_->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                 UINT NumVertices, UINT startIndex, UINT primCount) override {
        return inner_->DrawIndexedPrimitive(PrimitiveType, BaseVertexIndex, MinVertexIndex, NumVertices,
                                            startIndex, primCount);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                            const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
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
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override {
        return inner_->SetVertexDeclaration(pDecl);
    }
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override {
        return inner_->GetVertexDeclaration(ppDecl);
    }
    HRESULT SetFVF(DWORD FVF) override { return inner_->SetFVF(FVF); }
    HRESULT GetFVF(DWORD* pFVF) override { return inner_->GetFVF(pFVF); }
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                            UINT Stride) override {
        return inner_->SetStreamSource(StreamNumber, pStreamData, OffsetInBytes, Stride);
    }
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override {
        return inner_->GetStreamSource(StreamNumber, ppStreamData, pOffsetInBytes, pStride);
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override { return inner_->SetIndices(pIndexData); }
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override {
        return inner_->GetIndices(ppIndexData);
    }

private:
    IDirect3DDevice9* inner_;
    std::vector<IDirect3DTexture9*> recorded_;
    int creations_ = 0;
    int failCreateAt_ = 0;
    bool failUpdate_ = false;
    std::function<void(D3DCAPS9&)> adjustCaps_;
};

// ---- Small BMP files ----

inline void PutLe(std::vector<BYTE>& out, DWORD value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

inline std::vector<BYTE> BmpHeaders(UINT width, UINT height, UINT bitCount, UINT paletteEntries,
                                    std::size_t pixelBytes) {
    std::vector<BYTE> out;
    const DWORD offset = 14 + 40 + paletteEntries * 4;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, static_cast<DWORD>(offset + pixelBytes), 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4);
    PutLe(out, width, 4);
    PutLe(out, height, 4); // positive: rows stored bottom-up
    PutLe(out, 1, 2);
    PutLe(out, bitCount, 2);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<DWORD>(pixelBytes), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, paletteEntries, 4);
    PutLe(out, 0, 4);
    return out;
}

// A 24-bit BMP whose pixel (x, y) (y from the top) is colour(x, y) as 0xRRGGBB.
inline std::vector<BYTE> MakeBmp24(UINT width, UINT height, const std::function<DWORD(UINT, UINT)>& colour) {
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
    std::vector<BYTE> out = BmpHeaders(width, height, 24, 0, stride * height);
    for (UINT row = 0; row < height; ++row) {
        const UINT y = height - 1 - row;
        for (UINT x = 0; x < width; ++x)
            PutLe(out, colour(x, y), 3);
        for (std::size_t pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

// An 8-bit BMP with the given palette (0xRRGGBB entries) and index(x, y).
inline std::vector<BYTE> MakeBmp8(UINT width, UINT height, const std::vector<DWORD>& palette,
                                  const std::function<BYTE(UINT, UINT)>& index) {
    const std::size_t stride = (width + 3) & ~std::size_t{3};
    std::vector<BYTE> out = BmpHeaders(width, height, 8, static_cast<UINT>(palette.size()), stride * height);
    for (DWORD entry : palette)
        PutLe(out, entry, 4);
    for (UINT row = 0; row < height; ++row) {
        const UINT y = height - 1 - row;
        for (UINT x = 0; x < width; ++x)
            out.push_back(index(x, y));
        for (std::size_t pad = width; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

// The 32-bit pixel (x, y) of a locked 32-bit texture level.
inline DWORD PixelAt(const D3DLOCKED_RECT& locked, UINT x, UINT y) {
    const BYTE* row = static_cast<const BYTE*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
    DWORD value;
    std::memcpy(&value, row + 4 * x, 4);
    return value;
}

// ---- Small DDS files ----

struct DdsLayout {
    UINT width = 4;
    UINT height = 4;
    UINT depth = 0; // non-zero: a volume
    bool cube = false;
    DWORD fourCC = 0; // 0: 32-bit A8R8G8B8
};

// A DDS file of one mip level per surface; `surfaces` holds the pixel bytes of each face (or the
// only surface) in order.
inline std::vector<BYTE> MakeDds(const DdsLayout& layout, const std::vector<std::vector<BYTE>>& surfaces) {
    std::vector<BYTE> out = {'D', 'D', 'S', ' '};
    DWORD flags = 0x1 | 0x2 | 0x4 | 0x1000;
    if (layout.depth)
        flags |= 0x800000;
    DWORD caps2 = 0;
    if (layout.cube)
        caps2 = 0x200 | 0xFC00;
    if (layout.depth)
        caps2 = 0x200000;
    const DWORD header[31] = {124, flags, layout.height, layout.width, 0, layout.depth, 1};
    for (DWORD v : header)
        PutLe(out, v, 4);
    // Pixel format at offset 72 of the header, caps at 104.
    const bool fourCC = layout.fourCC != 0;
    const DWORD pixelFormat[8] = {32,
                                  fourCC ? 0x4u : 0x41u,
                                  layout.fourCC,
                                  fourCC ? 0u : 32u,
                                  fourCC ? 0u : 0xFF0000u,
                                  fourCC ? 0u : 0xFF00u,
                                  fourCC ? 0u : 0xFFu,
                                  fourCC ? 0u : 0xFF000000u};
    out.resize(4 + 72);
    for (DWORD v : pixelFormat)
        PutLe(out, v, 4);
    for (DWORD v : {0x1000u, caps2, 0u, 0u, 0u})
        PutLe(out, v, 4);
    for (const auto& surface : surfaces)
        out.insert(out.end(), surface.begin(), surface.end());
    return out;
}

// `count` 32-bit pixels of one colour.
inline std::vector<BYTE> Uniform(DWORD argb, std::size_t count) {
    std::vector<BYTE> out;
    for (std::size_t i = 0; i < count; ++i)
        PutLe(out, argb, 4);
    return out;
}
