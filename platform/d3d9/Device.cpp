// Device creation, reset, presentation, resources and render targets.

#include "platform/d3d9/Device.h"

#include "platform/d3d9/Direct3D.h"
#include "platform/d3d9/PixelFormats.h"
#include "platform/d3d9/PresentationTarget.h"
#include "platform/d3d9/SurfaceFill.h"
#include "platform/d3d9/Texture.h"
#include "platform/d3d9/TextureUpdate.h"
#include "platform/os/SwitchStore.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <thread>

namespace {

bool ValidPool(D3DPOOL pool) {
    return pool <= D3DPOOL_SCRATCH;
}

// Checks usage, pool and format of a new texture of any kind.
HRESULT CheckTextureRequest(DWORD usage, D3DFORMAT format, D3DPOOL pool, bool volume) {
    if (!ValidPool(pool))
        return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        return D3DERR_INVALIDCALL; // depth buffers cannot be sampled
    if (usage & D3DUSAGE_RENDERTARGET) {
        if (volume || pool != D3DPOOL_DEFAULT || !IsRenderTargetFormat(format))
            return D3DERR_INVALIDCALL;
    }
    if ((usage & D3DUSAGE_DYNAMIC) && (pool == D3DPOOL_MANAGED || pool == D3DPOOL_SCRATCH))
        return D3DERR_INVALIDCALL;
    if (!IsTextureFormat(format))
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

Surface* AsSurface(IDirect3DSurface9* surface) {
    return static_cast<Surface*>(surface);
}

constexpr DWORD kMaxThreads = 64;

} // namespace

int DeviceThreadCount() {
    DWORD threads = 0;
    if (ReadSwitch("LUMIVOX_THREADS", &threads) && threads >= 1)
        return int(std::min(threads, kMaxThreads));
    return int(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxThreads));
}

HRESULT Device::Create(IDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, Device** device) {
    Device* created = new (std::nothrow) Device();
    if (!created)
        return E_OUTOFMEMORY;
    try {
        created->link_ = std::make_shared<DeviceLink>();
        created->pool_ = std::make_unique<WorkerPool>(DeviceThreadCount());
        if (created->pool_->Threads() > 1)
            created->queue_ = std::make_unique<DrawQueue>();
    } catch (const std::bad_alloc&) {
        delete created;
        return E_OUTOFMEMORY;
    }
    created->link_->device = created;
    created->link_->pending = created;
    created->direct3d_ = direct3d;
    direct3d->AddRef();
    created->creation_ = {0, type, focusWindow, behaviorFlags};
    D3DPRESENT_PARAMETERS copy = *parameters;
    if (!copy.hDeviceWindow)
        copy.hDeviceWindow = focusWindow;
    const HRESULT hr = created->CreateSwapChainSurfaces(copy);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *parameters = copy;
    created->parameters_ = copy;
    created->ResetStates();
    *device = created;
    return D3D_OK;
}

Device::~Device() {
    FinishDraws();
    if (link_)
        link_->pending = nullptr;
    ReleaseBindings();
    SafeRelease(backBuffer_);
    SafeRelease(autoDepth_);
    if (link_)
        link_->device = nullptr;
    SafeRelease(direct3d_);
}

HRESULT Device::CreateSwapChainSurfaces(D3DPRESENT_PARAMETERS& p) {
    if (p.BackBufferFormat == D3DFMT_UNKNOWN && p.Windowed)
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (!IsRenderTargetFormat(p.BackBufferFormat) || p.BackBufferCount > 3 ||
        p.MultiSampleType != D3DMULTISAMPLE_NONE || p.SwapEffect < D3DSWAPEFFECT_DISCARD ||
        p.SwapEffect > D3DSWAPEFFECT_COPY)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && !IsDepthFormat(p.AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    // A window with no area (minimised) still gets a one-pixel back buffer; the size used is
    // written back to the parameters.
    p.BackBufferWidth = std::clamp<UINT>(p.BackBufferWidth, 1, kMaxBackBufferSize);
    p.BackBufferHeight = std::clamp<UINT>(p.BackBufferHeight, 1, kMaxBackBufferSize);
    if (p.BackBufferCount == 0)
        p.BackBufferCount = 1;

    const SurfaceDesc color{p.BackBufferFormat, p.BackBufferWidth,
                            p.BackBufferHeight, D3DUSAGE_RENDERTARGET,
                            D3DPOOL_DEFAULT,    (p.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0};
    Surface* back = Surface::Create(link_, color, nullptr, false);
    if (!back)
        return E_OUTOFMEMORY;
    Surface* depth = nullptr;
    if (p.EnableAutoDepthStencil) {
        const SurfaceDesc desc{p.AutoDepthStencilFormat, p.BackBufferWidth,
                               p.BackBufferHeight,       D3DUSAGE_DEPTHSTENCIL,
                               D3DPOOL_DEFAULT,          p.AutoDepthStencilFormat != D3DFMT_D16};
        depth = Surface::Create(link_, desc, nullptr, false);
        if (!depth) {
            back->Release();
            return E_OUTOFMEMORY;
        }
    }
    SafeRelease(backBuffer_);
    SafeRelease(autoDepth_);
    backBuffer_ = back;
    autoDepth_ = depth;
    return D3D_OK;
}

void Device::ReleaseBindings() {
    for (auto*& texture : textures_)
        Unbind(texture);
    for (StreamBinding& stream : streams_) {
        Unbind(stream.buffer);
        stream = StreamBinding{};
    }
    Unbind(indices_);
    Unbind(renderTarget_);
    Unbind(depthStencil_);
    SafeRelease(declaration_);
}

void Device::ResetStates() {
    Rebind(renderTarget_, backBuffer_);
    Rebind(depthStencil_, autoDepth_);
    ResetDeviceState(state_, autoDepth_ != nullptr, backBuffer_->Width(), backBuffer_->Height());
    inScene_ = false;
    transformsDirty_ = lightsDirty_ = pixelDirty_ = samplersDirty_ = viewportDirty_ = layoutDirty_ = true;
    pixelInputs_.Forget();
}

HRESULT Device::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DDevice9) {
        *object = static_cast<IDirect3DDevice9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Device::GetDirect3D(IDirect3D9** direct3d) {
    if (!direct3d)
        return D3DERR_INVALIDCALL;
    *direct3d = direct3d_;
    direct3d_->AddRef();
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
    if (!caps)
        return D3DERR_INVALIDCALL;
    FillDeviceCaps(creation_.DeviceType, caps);
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
    if (swapChain != 0)
        return D3DERR_INVALIDCALL;
    return direct3d_->GetAdapterDisplayMode(0, mode);
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (!parameters)
        return D3DERR_INVALIDCALL;
    *parameters = creation_;
    return D3D_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (!parameters)
        return D3DERR_INVALIDCALL;
    // Every default-pool resource the caller made must have been released by the caller; what
    // only the device's own bindings still hold goes with them.
    if (link_->heldDefaultPoolResources > 0)
        return D3DERR_INVALIDCALL;
    FinishDraws();
    D3DPRESENT_PARAMETERS copy = *parameters;
    if (!copy.hDeviceWindow)
        copy.hDeviceWindow = creation_.hFocusWindow;
    ReleaseBindings();
    const HRESULT hr = CreateSwapChainSurfaces(copy);
    if (FAILED(hr)) {
        ResetStates();
        return hr;
    }
    *parameters = copy;
    parameters_ = copy;
    ResetStates();
    return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND destWindowOverride, const RGNDATA*) {
    HWND window = destWindowOverride ? destWindowOverride : parameters_.hDeviceWindow;
    PresentationTarget* target = PresentationTargetFromWindow(window);
    if (!target) {
        FinishDraws();
        return D3D_OK;
    }
    Surface& back = *backBuffer_;
    const int width = int(back.Width()), height = int(back.Height());
    if (back.Format() == D3DFMT_X8R8G8B8 || back.Format() == D3DFMT_A8R8G8B8) {
        PresentRows(*target);
        return D3D_OK;
    }
    FinishDraws();
    presentScratch_.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        DecodePixels(back.Format(), back.Row(UINT(y)), presentScratch_.data() + size_t(y) * width,
                     UINT(width));
    target->PresentImage(presentScratch_.data(), width, height, width * 4);
    return D3D_OK;
}

// Hands the back buffer to the window. A window that offers its own picture buffer gets the rows
// copied into it band by band, each right after the band is drawn, while it is still in cache.
void Device::PresentRows(PresentationTarget& target) {
    Surface& back = *backBuffer_;
    const int width = int(back.Width()), height = int(back.Height());
    int pitch = 0;
    BYTE* buffer = static_cast<BYTE*>(target.PictureBuffer(width, height, &pitch));
    if (!buffer) {
        FinishDraws();
        target.PresentImage(back.Bits(), width, height, int(back.Pitch()));
        return;
    }
    presentChanges_.resize(size_t(height) * 2);
    const RowCopy copy{back.Bits(),
                       int(back.Pitch()),
                       buffer,
                       pitch,
                       width * 4,
                       height,
                       presentChanges_.data(),
                       presentChanges_.data() + height};
    if (queue_) {
        if (renderTarget_ != backBuffer_)
            FinishDraws(); // the bands being drawn are not the back buffer's
        CatchUp();
        queue_->Flush(*pool_, &copy);
    } else {
        CopyChangedRows(copy, 0, height);
    }
    ChangedRects(copy, presentRects_);
    target.PictureWritten(presentRects_.data(), int(presentRects_.size()));
}

HRESULT Device::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface) {
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || index >= parameters_.BackBufferCount)
        return D3DERR_INVALIDCALL;
    *surface = backBuffer_;
    backBuffer_->AddRef();
    return D3D_OK;
}

// ---- Resources ----

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) {
    if (!texture || sharedHandle)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
        return D3DERR_INVALIDCALL;
    const HRESULT check = CheckTextureRequest(usage, format, pool, false);
    if (FAILED(check))
        return check;
    Texture2D* created = nullptr;
    const HRESULT hr = Texture2D::Create(link_, width, height, levels, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

HRESULT Device::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                                    D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture9** texture,
                                    HANDLE* sharedHandle) {
    if (!texture || sharedHandle)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || depth == 0 || width > kMaxVolumeExtent || height > kMaxVolumeExtent ||
        depth > kMaxVolumeExtent)
        return D3DERR_INVALIDCALL;
    const HRESULT check = CheckTextureRequest(usage, format, pool, true);
    if (FAILED(check))
        return check;
    VolumeTexture* created = nullptr;
    const HRESULT hr =
        VolumeTexture::Create(link_, width, height, depth, levels, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

HRESULT Device::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DCubeTexture9** texture, HANDLE* sharedHandle) {
    if (!texture || sharedHandle)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (edge == 0 || edge > kMaxTextureSize)
        return D3DERR_INVALIDCALL;
    const HRESULT check = CheckTextureRequest(usage, format, pool, false);
    if (FAILED(check))
        return check;
    CubeTexture* created = nullptr;
    const HRESULT hr = CubeTexture::Create(link_, edge, levels, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) {
    if (!buffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    VertexBuffer* created = nullptr;
    const HRESULT hr = VertexBuffer::Create(link_, length, usage, fvf, pool, &created);
    if (SUCCEEDED(hr))
        *buffer = created;
    return hr;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
    if (!buffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    IndexBuffer* created = nullptr;
    const HRESULT hr = IndexBuffer::Create(link_, length, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *buffer = created;
    return hr;
}

HRESULT Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                   DWORD, BOOL lockable, IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    if (!surface || sharedHandle)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || width > kMaxBackBufferSize || height > kMaxBackBufferSize ||
        !IsRenderTargetFormat(format) || multiSample != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    const SurfaceDesc desc{format, width, height, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, lockable != FALSE};
    *surface = Surface::Create(link_, desc, nullptr, true);
    return *surface ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                          IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    if (!surface || sharedHandle)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || width > kMaxBackBufferSize || height > kMaxBackBufferSize ||
        !IsDepthFormat(format) || multiSample != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    const SurfaceDesc desc{
        format, width, height, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, format != D3DFMT_D16};
    *surface = Surface::Create(link_, desc, nullptr, true);
    return *surface ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DSurface9** surface, HANDLE* sharedHandle) {
    if (!surface || sharedHandle)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || width > kMaxBackBufferSize || height > kMaxBackBufferSize ||
        !IsTextureFormat(format) || !ValidPool(pool) || pool == D3DPOOL_MANAGED)
        return D3DERR_INVALIDCALL;
    const SurfaceDesc desc{format, width, height, 0, pool, true};
    *surface = Surface::Create(link_, desc, nullptr, true);
    return *surface ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    FinishDraws();
    return CopyTextureToDefaultPool(source, destination);
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) {
    if (!renderTarget || !destination)
        return D3DERR_INVALIDCALL;
    FinishDraws();
    Surface* src = AsSurface(renderTarget);
    Surface* dst = AsSurface(destination);
    D3DSURFACE_DESC dd{};
    dst->GetDesc(&dd);
    if (!(src->Usage() & D3DUSAGE_RENDERTARGET) || dd.Pool != D3DPOOL_SYSTEMMEM ||
        src->Format() != dst->Format() || src->Width() != dst->Width() || src->Height() != dst->Height())
        return D3DERR_INVALIDCALL;
    CopySurfacePixels(*src, *dst);
    return D3D_OK;
}

HRESULT Device::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) {
    if (!surface)
        return D3DERR_INVALIDCALL;
    Surface* s = AsSurface(surface);
    D3DSURFACE_DESC desc{};
    s->GetDesc(&desc);
    if (desc.Pool != D3DPOOL_DEFAULT || !IsRenderTargetFormat(s->Format()))
        return D3DERR_INVALIDCALL;
    RECT r{0, 0, LONG(s->Width()), LONG(s->Height())};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left > rect->right || rect->top > rect->bottom ||
            UINT(rect->right) > s->Width() || UINT(rect->bottom) > s->Height())
            return D3DERR_INVALIDCALL;
        r = *rect;
    }
    FinishDraws();
    FillColorRect(*s, PixelRect{r.left, r.top, r.right, r.bottom}, color);
    return D3D_OK;
}

// ---- Targets and scenes ----

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* renderTarget) {
    if (index != 0 || !renderTarget)
        return D3DERR_INVALIDCALL;
    Surface* surface = AsSurface(renderTarget);
    if (!(surface->Usage() & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    if (surface != renderTarget_)
        HandOverDraws();
    Rebind(renderTarget_, surface);
    // A new target resets the viewport and scissor rectangle to the whole target.
    state_.viewport = {0, 0, surface->Width(), surface->Height(), 0.0f, 1.0f};
    state_.scissor = {0, 0, LONG(surface->Width()), LONG(surface->Height())};
    viewportDirty_ = pixelDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) {
    if (!renderTarget)
        return D3DERR_INVALIDCALL;
    *renderTarget = nullptr;
    if (index != 0)
        return D3DERR_INVALIDCALL;
    *renderTarget = renderTarget_;
    renderTarget_->AddRef();
    return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    if (surface && !(AsSurface(surface)->Usage() & D3DUSAGE_DEPTHSTENCIL))
        return D3DERR_INVALIDCALL;
    if (surface != depthStencil_)
        HandOverDraws();
    Rebind(depthStencil_, surface ? AsSurface(surface) : nullptr);
    pixelDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_)
        return D3DERR_NOTFOUND;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}
