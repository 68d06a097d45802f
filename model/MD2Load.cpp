// Loading a model: its MD2 file, then its skin and cartoon ramp as textures.

#include <cstring>

#include "gfxutil/texture/D3DX9Tex.h"
#include "model/MD2Model.h"
#include "platform/d3d9/Direct3D9.h"
#include "platform/os/MessageBox.h"
#include "state/AnimationSpeed.h"
#include "state/RenderSettings.h"

HRESULT MD2Model::Load(IDirect3DDevice9* newDevice, const ModelFile& parameters) {
    device = newDevice;
    std::memcpy(md2Path, parameters.md2Path, sizeof md2Path);
    std::memcpy(texturePath, parameters.texturePath, sizeof texturePath);
    std::memcpy(cartoonPath, parameters.cartoonPath, sizeof cartoonPath);
    md2Path[MD2_PATH_SIZE - 1] = texturePath[MD2_PATH_SIZE - 1] = cartoonPath[MD2_PATH_SIZE - 1] = '\0';
    theRenderSettings->frameInterval = FrameIntervalForSpeed(parameters.speed);
    if (FAILED(ReadFile())) {
        Release();
        return E_FAIL;
    }
    LoadTextures();
    return S_OK;
}

HRESULT MD2Model::LoadTextures() {
    ReleaseTextures();
    if (FAILED(D3DXCreateTextureFromFileA(device, texturePath, &skinTexture))) {
        MessageBoxA(nullptr, "Could not find Texture", "Texture loading error", MB_OK);
        return E_FAIL;
    }
    device->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    if (FAILED(D3DXCreateTextureFromFileA(device, cartoonPath, &cartoonTexture))) {
        MessageBoxA(nullptr, "Could not find CatoonTexture", "CTexture loading error", MB_OK);
        return E_FAIL;
    }
    return S_OK;
}
