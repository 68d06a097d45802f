#pragma once
// The Direct3D object: one adapter (the desktop), what the software device can do, and device
// creation.

#include "platform/d3d9/Direct3D9.h"
#include "platform/os/ComObject.h"

class Direct3D : public ComObject<IDirect3D9> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                            D3DFORMAT backBufferFormat, BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT format) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;
};

// What the software device can do (shared by the Direct3D object and the device).
void FillDeviceCaps(D3DDEVTYPE type, D3DCAPS9* caps);

// Limits the device enforces on resources.
constexpr UINT kMaxTextureSize = 4096;
constexpr UINT kMaxVolumeExtent = 256;
constexpr UINT kMaxBackBufferSize = 8192;

bool IsValidDeviceType(D3DDEVTYPE type);
bool IsDisplayFormat(D3DFORMAT format);
bool IsRenderTargetFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
bool IsTextureFormat(D3DFORMAT format);
