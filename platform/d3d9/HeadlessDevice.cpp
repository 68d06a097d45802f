#include "platform/d3d9/HeadlessDevice.h"

#include "platform/d3d9/PresentParameters.h"

HRESULT CreateHeadlessDevice(UINT width, UINT height, IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return E_FAIL;
    D3DPRESENT_PARAMETERS parameters = PresentParameters(width, height, D3DFMT_X8R8G8B8, nullptr);
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    const HRESULT result =
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, device);
    d3d->Release();
    return result;
}
