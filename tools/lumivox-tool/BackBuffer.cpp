#include "BackBuffer.h"

#include <cstring>

bool ReadBackBuffer(IDirect3DDevice9* device, Picture& picture, std::string& error) {
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* copy = nullptr;
    bool read = false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        SUCCEEDED(backBuffer->GetDesc(&desc)) &&
        (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(backBuffer, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        picture.width = static_cast<int>(desc.Width);
        picture.height = static_cast<int>(desc.Height);
        const std::size_t rowBytes = static_cast<std::size_t>(desc.Width) * 4;
        picture.bgra.resize(rowBytes * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
            std::memcpy(&picture.bgra[y * rowBytes],
                        static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch, rowBytes);
        copy->UnlockRect();
        read = true;
    } else {
        error = "the picture could not be read back";
    }
    if (copy)
        copy->Release();
    if (backBuffer)
        backBuffer->Release();
    return read;
}
