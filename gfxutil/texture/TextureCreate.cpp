#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/TextureRequirements.h"

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (usage == D3DX_DEFAULT)
        usage = 0;
    if (const HRESULT hr = CheckTextureRequirements(device, &width, &height, nullptr, &mipLevels, usage,
                                                    &format, pool, D3DRTYPE_TEXTURE);
        FAILED(hr))
        return hr;
    return device->CreateTexture(width, height, mipLevels, usage & kCreationUsageMask, format, pool, texture,
                                 nullptr);
}
