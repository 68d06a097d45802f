// The two cameras of RenderSettings: the first-person camera (0) and the camera that circles the
// model (1), turned into view and projection matrices once per picture.

#include <cmath>

#include "platform/d3d9/Direct3D9.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kFieldOfView = 0.7853982f; // pi / 4

// Where the orbit camera looks: the lifted model's own origin, or the world's.
D3DXVECTOR3 OrbitTarget(const RenderSettings& settings) {
    const MD2Model* model = theScene ? theScene->model.get() : nullptr;
    if (settings.applyOffsetY == 1 && model)
        return D3DXVECTOR3(0.0f, -model->offsetY, 0.0f);
    return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

} // namespace

void RenderSettings::ResetCameras() { ApplyCameraDefaults(cameras, cameraCount, worldScale); }

void RenderSettings::UpdateView() {
    const bool orbit = activeCamera == 1;
    const Camera& c = cameras[activeCamera >= 0 && activeCamera < cameraCount ? activeCamera : 0];
    const float p = c.pitch * kDegreesToRadians;
    const float sinP = std::sin(p);
    const float cosP = std::cos(p);
    const D3DXVECTOR3 direction(cosP * c.yawSin, -sinP, cosP * c.yawCos);

    D3DXVECTOR3 eye, at, up;
    if (orbit) {
        const D3DXVECTOR3 target = OrbitTarget(*this);
        const float distance = cameras[1].distance;
        eye = D3DXVECTOR3(target.x + distance * direction.x, target.y + distance * direction.y,
                          target.z + distance * direction.z);
        at = target;
        up = D3DXVECTOR3(-sinP * c.yawSin, -cosP, -sinP * c.yawCos);
    } else {
        eye = D3DXVECTOR3(c.x, c.y, c.z);
        at = D3DXVECTOR3(eye.x + direction.x, eye.y + direction.y, eye.z + direction.z);
        up = D3DXVECTOR3(sinP * c.yawSin, cosP, sinP * c.yawCos);
    }
    D3DXMatrixLookAtLH(&viewMatrix, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &viewMatrix);

    D3DXMatrixPerspectiveFovLH(&projectionMatrix, kFieldOfView, ViewAspect(*this), 1.0f, c.farPlane);
    device->SetTransform(D3DTS_PROJECTION, &projectionMatrix);
}
