#pragma once
// The software Direct3D 9 device: keeps the states, owns the back buffer and depth buffer, and
// runs draws through vertex processing, clipping, rasterisation and the pixel pipeline.

#include "platform/d3d9/Buffers.h"
#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/DrawQueue.h"
#include "platform/d3d9/PixelInputs.h"
#include "platform/d3d9/PixelPipeline.h"
#include "platform/d3d9/Surface.h"
#include "platform/d3d9/Texture.h"
#include "platform/d3d9/VertexDeclaration.h"
#include "platform/d3d9/VertexProcessor.h"

#include <memory>
#include <vector>

// How many threads a new device draws with: LUMIVOX_THREADS when it is a positive number,
// otherwise one per processor.
int DeviceThreadCount();

class PresentationTarget;

class Device : public ComObject<IDirect3DDevice9>, private PendingDraws {
public:
    static HRESULT Create(IDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                          D3DPRESENT_PARAMETERS* parameters, Device** device);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT GetDirect3D(IDirect3D9** direct3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture9** texture,
                                HANDLE* sharedHandle) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               DWORD quality, BOOL lockable, IDirect3DSurface9** surface,
                               HANDLE* sharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                      IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) override;
    HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* renderTarget) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT GetScissorRect(RECT* rect) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                 UINT numVertices, UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                   UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                   const void* vertexData, UINT vertexStride) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                            UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override;

    // Threads the device draws with (1: every draw is done at once, on the caller's thread).
    int Threads() const { return pool_ ? pool_->Threads() : 1; }
    // Pixel setups recorded since the draws were last done (for tests and measurements).
    int RecordedSetups() const { return queue_ ? queue_->SetupCount() : 0; }

private:
    Device() = default;
    ~Device() override;

    // ---- Recorded drawing (DeviceDraw.cpp) ----
    // With more than one thread, draws and clears are recorded and done band by band on the pool
    // when someone needs their pixels: at Present, a change of targets, a lock or a copy.
    void FinishDraws() override;
    void StartBatch();
    void DrawBehind();
    void CatchUp();
    void HandOverDraws();
    bool SamplesTarget() const;
    void BeginPrimitives();
    void EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
    void EmitLine(const ScreenVertex& a, const ScreenVertex& b, bool lastPixel);
    void EmitPoint(const ScreenVertex& p);
    void PresentRows(PresentationTarget& target);

    HRESULT CreateSwapChainSurfaces(D3DPRESENT_PARAMETERS& parameters);
    void ReleaseBindings();
    void ResetStates();

    // ---- Drawing (DeviceDraw.cpp) ----
    struct StreamBinding {
        VertexBuffer* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
    };
    bool PrepareDraw();
    void PreparePixels();
    bool SamePixelStates() const;
    void NoteTextureVersions();
    void RefreshSampledTextures();
    void PreparePixelSetup();
    void PrepareSamplers();
    bool VertexFitsStride(UINT stride) const;
    HRESULT ProcessStreamVertices(UINT first, UINT count, INT base);
    bool ReserveVertices(UINT count);
    bool ReserveIndices(UINT count);
    void ProcessUserVertices(const BYTE* data, UINT stride, UINT first, UINT count);
    void DrawAssembled(D3DPRIMITIVETYPE type, UINT primitiveCount, const UINT* indices);
    void DrawTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c);
    void DrawScreenTriangle(const PipelineVertex& a, const PipelineVertex& b, const PipelineVertex& c);
    void DrawLine(const PipelineVertex& a, const PipelineVertex& b);
    void DrawPoint(const PipelineVertex& p);
    PixelRect DrawRect() const;
    void MarkTargetChanged();

    IDirect3D9* direct3d_ = nullptr;
    DeviceLinkPtr link_;
    D3DDEVICE_CREATION_PARAMETERS creation_{};
    D3DPRESENT_PARAMETERS parameters_{};
    Surface* backBuffer_ = nullptr;
    Surface* autoDepth_ = nullptr;
    Surface* renderTarget_ = nullptr;
    Surface* depthStencil_ = nullptr;
    IDirect3DBaseTexture9* textures_[kMaxSamplers] = {};
    VertexDeclaration* declaration_ = nullptr;
    StreamBinding streams_[kMaxStreams];
    IndexBuffer* indices_ = nullptr;
    DeviceState state_;
    bool inScene_ = false;

    // Derived state, rebuilt when what it depends on changes.
    bool transformsDirty_ = true;
    bool lightsDirty_ = true;
    bool pixelDirty_ = true;
    bool samplersDirty_ = true; // only the bound textures changed
    bool viewportDirty_ = true;
    bool layoutDirty_ = true;
    bool layoutValid_ = false;
    VertexLayout layout_;
    UINT layoutExtent_[kMaxStreams] = {}; // bytes of a vertex each stream must hold
    VertexSetup vertexSetup_;
    VertexPlan vertexPlan_;
    bool planDirty_ = true; // the layout, the lights or the varyings changed since the plan
    PixelSetup pixelSetup_;
    PixelInputs pixelInputs_; // what pixelSetup_ was made from
    SpanFunction spanFunction_ = nullptr;
    SampledTexture* stageTextures_[kMaxTextureStages] = {};
    std::uint64_t stageVersions_[kMaxTextureStages] = {}; // of stageTextures_ when last read
    PixelRect drawRect_{};

    std::unique_ptr<WorkerPool> pool_;
    std::unique_ptr<DrawQueue> queue_; // null with one thread
    // Recorded draws the pool's threads are drawing while the caller records more into queue_.
    std::unique_ptr<DrawQueue> behind_;
    bool behindBusy_ = false;
    bool recording_ = false;   // the primitives being drawn go to the queue
    bool setupQueued_ = false; // the queue holds the current pixel setup

    std::vector<PipelineVertex> vertices_;
    std::vector<UINT> indexScratch_;
    std::vector<DWORD> presentScratch_;
    std::vector<int> presentChanges_; // each row's changed part, for the window
    std::vector<RECT> presentRects_;
};
