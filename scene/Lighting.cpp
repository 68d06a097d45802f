// The one directional light and the white material of everything drawn lit.

#include "platform/d3d9/Direct3D9.h"
#include "state/RenderSettings.h"

namespace {

constexpr DWORD kAmbientLight = 0x00202020;

D3DMATERIAL9 WhiteMaterial() {
    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    return material;
}

// Strong enough that a surface at a cosine of 0.2 to the light is already fully lit.
D3DLIGHT9 SceneLight(const D3DXVECTOR3& position) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {5.0f, 5.0f, 5.0f, 5.0f};
    light.Position = position;
    const D3DXVECTOR3 towardsOrigin(-position.x, -position.y, -position.z);
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &towardsOrigin);
    light.Direction = direction;
    light.Range = 10000.0f;
    return light;
}

} // namespace

void RenderSettings::SetupLighting() {
    const D3DMATERIAL9 material = WhiteMaterial();
    device->SetMaterial(&material);
    const D3DLIGHT9 light = SceneLight(lightPosition);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, kAmbientLight);
}
