#include "platform/d3d9/Direct3D.h"

#include "platform/d3d9/Device.h"
#include "platform/d3d9/PixelFormats.h"

#include <new>

namespace {

UINT g_desktopWidth = 640;
UINT g_desktopHeight = 480;

constexpr D3DFORMAT kDisplayFormat = D3DFMT_X8R8G8B8;

} // namespace

void SetAdapterDesktopSize(UINT width, UINT height) {
    if (width == 0 || height == 0)
        return;
    g_desktopWidth = width;
    g_desktopHeight = height;
}

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new (std::nothrow) Direct3D();
}

bool IsValidDeviceType(D3DDEVTYPE type) {
    return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF || type == D3DDEVTYPE_SW;
}

bool IsDisplayFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
}

bool IsRenderTargetFormat(D3DFORMAT format) {
    const PixelFormatInfo* info = FindPixelFormat(format);
    return info && info->renderTarget;
}

bool IsDepthFormat(D3DFORMAT format) {
    const PixelFormatInfo* info = FindPixelFormat(format);
    return info && info->depth;
}

bool IsTextureFormat(D3DFORMAT format) {
    const PixelFormatInfo* info = FindPixelFormat(format);
    return info && info->sampled;
}

void FillDeviceCaps(D3DDEVTYPE type, D3DCAPS9* c) {
    *c = D3DCAPS9{};
    c->DeviceType = type;
    c->AdapterOrdinal = 0;
    c->Caps2 = D3DCAPS2_DYNAMICTEXTURES;
    c->PresentationIntervals = D3DPRESENT_INTERVAL_CAPS;
    c->DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                 D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                 D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX |
                 D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    c->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                           D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_TSSARGTEMP |
                           D3DPMISCCAPS_BLENDOP | D3DPMISCCAPS_PERSTAGECONSTANT |
                           D3DPMISCCAPS_SEPARATEALPHABLEND;
    c->RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SCISSORTEST;
    c->ZCmpCaps = D3DPCMPCAPS_ALL;
    c->AlphaCmpCaps = D3DPCMPCAPS_ALL;
    c->SrcBlendCaps = D3DPBLENDCAPS_ALL;
    c->DestBlendCaps = D3DPBLENDCAPS_ALL;
    c->ShadeCaps =
        D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    // Any size is sampled (no power-of-two rule) and every kind can be mip-mapped.
    c->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_CUBEMAP |
                     D3DPTEXTURECAPS_VOLUMEMAP | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_MIPVOLUMEMAP |
                     D3DPTEXTURECAPS_MIPCUBEMAP;
    const DWORD filters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                          D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c->TextureFilterCaps = c->CubeTextureFilterCaps = c->VolumeTextureFilterCaps = filters;
    const DWORD address = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                          D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV |
                          D3DPTADDRESSCAPS_MIRRORONCE;
    c->TextureAddressCaps = c->VolumeTextureAddressCaps = address;
    c->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP;
    c->MaxTextureWidth = c->MaxTextureHeight = kMaxTextureSize;
    c->MaxVolumeExtent = kMaxVolumeExtent;
    c->MaxTextureRepeat = 8192;
    c->MaxTextureAspectRatio = kMaxTextureSize;
    c->MaxAnisotropy = 1;
    c->MaxVertexW = 1.0e10f;
    c->GuardBandLeft = c->GuardBandTop = -16384.0f;
    c->GuardBandRight = c->GuardBandBottom = 16384.0f;
    c->StencilCaps = D3DSTENCILCAPS_ALL; // on D24S8 buffers; not two-sided
    c->FVFCaps = 8 | D3DFVFCAPS_DONOTSTRIPELEMENTS;
    DWORD ops = 0;
    for (DWORD op = D3DTOP_DISABLE; op <= D3DTOP_LERP; ++op)
        if (op != D3DTOP_PREMODULATE && op != D3DTOP_BUMPENVMAP && op != D3DTOP_BUMPENVMAPLUMINANCE)
            ops |= D3DTEXOPCAPS(static_cast<D3DTEXTUREOP>(op));
    c->TextureOpCaps = ops;
    c->MaxTextureBlendStages = 8;
    c->MaxSimultaneousTextures = 8;
    c->VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                              D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    c->MaxActiveLights = 8;
    c->MaxUserClipPlanes = 0;
    c->MaxPointSize = 1.0f;
    c->MaxPrimitiveCount = 0xFFFFF;
    c->MaxVertexIndex = 0xFFFFFF;
    c->MaxStreams = 8;
    c->MaxStreamStride = 508;
    c->VertexShaderVersion = 0xFFFE0000; // no shaders
    c->PixelShaderVersion = 0xFFFF0000;
    c->NumberOfAdaptersInGroup = 1;
    c->NumSimultaneousRTs = 1;
}

HRESULT Direct3D::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3D9) {
        *object = static_cast<IDirect3D9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != 0 || !mode)
        return D3DERR_INVALIDCALL;
    *mode = {g_desktopWidth, g_desktopHeight, 60, kDisplayFormat};
    return D3D_OK;
}

HRESULT Direct3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                  D3DFORMAT backBufferFormat, BOOL) {
    if (adapter != 0 || !IsValidDeviceType(type))
        return D3DERR_INVALIDCALL;
    if (adapterFormat != kDisplayFormat)
        return D3DERR_NOTAVAILABLE;
    if (backBufferFormat != D3DFMT_UNKNOWN && !IsRenderTargetFormat(backBufferFormat))
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT format) {
    if (adapter != 0 || !IsValidDeviceType(type))
        return D3DERR_INVALIDCALL;
    if (!IsDisplayFormat(adapterFormat))
        return D3DERR_NOTAVAILABLE;
    // Queries the device cannot answer yes to.
    constexpr DWORD unsupported = D3DUSAGE_AUTOGENMIPMAP | D3DUSAGE_DMAP | D3DUSAGE_QUERY_LEGACYBUMPMAP |
                                  D3DUSAGE_QUERY_SRGBREAD | D3DUSAGE_QUERY_SRGBWRITE |
                                  D3DUSAGE_QUERY_VERTEXTEXTURE;
    if (usage & unsupported)
        return D3DERR_NOTAVAILABLE;
    const bool texture = resourceType == D3DRTYPE_TEXTURE || resourceType == D3DRTYPE_CUBETEXTURE ||
                         resourceType == D3DRTYPE_VOLUMETEXTURE;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        return (resourceType == D3DRTYPE_SURFACE && IsDepthFormat(format)) ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_RENDERTARGET) {
        const bool kind = resourceType == D3DRTYPE_SURFACE || resourceType == D3DRTYPE_TEXTURE ||
                          resourceType == D3DRTYPE_CUBETEXTURE;
        return (kind && IsRenderTargetFormat(format)) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    if (usage & D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING)
        return IsRenderTargetFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (texture || resourceType == D3DRTYPE_SURFACE)
        return IsTextureFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
    return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT,
                                         D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) {
    if (adapter != 0 || !IsValidDeviceType(type))
        return D3DERR_INVALIDCALL;
    return IsRenderTargetFormat(renderTargetFormat) && IsDepthFormat(depthFormat) ? D3D_OK
                                                                                  : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    if (adapter != 0 || !caps || !IsValidDeviceType(type))
        return D3DERR_INVALIDCALL;
    FillDeviceCaps(type, caps);
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (adapter != 0 || !parameters || !IsValidDeviceType(type))
        return D3DERR_INVALIDCALL;
    const DWORD processing =
        behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                         D3DCREATE_MIXED_VERTEXPROCESSING);
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_HARDWARE_VERTEXPROCESSING && processing != D3DCREATE_MIXED_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    Device* created = nullptr;
    const HRESULT hr = Device::Create(this, type, focusWindow, behaviorFlags, parameters, &created);
    if (FAILED(hr))
        return hr;
    *device = created;
    return D3D_OK;
}
