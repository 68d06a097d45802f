#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/TextureFromMemory.h"
#include "platform/os/FileSource.h"

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture) {
    if (!device || !srcFile || !texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    // The file (mapped, or unpacked from an archive) is released when this returns, whether or
    // not the texture was made.
    FileBytes file;
    std::string problem;
    if (ReadFileBytes(srcFile, file, problem) != FileStatus::Read)
        return D3DXERR_INVALIDDATA;
    const TextureRequest request{device, width,  height,    1,        mipLevels, usage,   format,
                                 pool,   filter, mipFilter, colorKey, srcInfo,   palette, D3DRTYPE_TEXTURE};
    IDirect3DBaseTexture9* created = nullptr;
    const HRESULT hr = CreateTextureFromFileInMemory(request, file.data(), file.size(), &created);
    *texture = static_cast<IDirect3DTexture9*>(created);
    return hr;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* srcFile,
                                   IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, srcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        nullptr, nullptr, texture);
}
