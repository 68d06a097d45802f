#pragma once
// The routine behind every "create a texture from an image file" entry: decodes the image,
// chooses size, format and mip levels, creates the texture and fills every level.

#include <cstddef>

#include "gfxutil/texture/D3DX9Tex.h"

struct TextureRequest {
    IDirect3DDevice9* device = nullptr;
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT depth = 1;
    UINT mipLevels = D3DX_DEFAULT;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_MANAGED;
    DWORD filter = D3DX_DEFAULT;
    DWORD mipFilter = D3DX_DEFAULT;
    D3DCOLOR colorKey = 0;
    D3DXIMAGE_INFO* info = nullptr;
    PALETTEENTRY* palette = nullptr; // receives 256 entries when not null
    D3DRESOURCETYPE resourceType = D3DRTYPE_TEXTURE;
};

// On success `*texture` holds a texture of the requested resource type; on failure it is null and
// nothing that was made along the way is left behind.
HRESULT CreateTextureFromFileInMemory(const TextureRequest& request, const void* data, std::size_t size,
                                      IDirect3DBaseTexture9** texture);
