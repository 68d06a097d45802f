#include "state/RenderSettings.h"

#include <cstring>

#include "platform/d3d9/Direct3D9.h"
#include "state/AnimationSpeed.h"

RenderSettings::RenderSettings() {
    cameras = nullptr;
    lightPosition = D3DXVECTOR3(0.0f, 1.5f, -1.0f);
    device = nullptr;
    window = nullptr;
    wireframe = 0;
    showText = 1;
    fontChanged = 0;
    worldScale = 10.0f;
    cameraCount = 2;
    activeCamera = 0;
    viewWidth = 0.0f;
    viewHeight = 0.0f;

    for (Camera& camera : cameraStorage)
        camera = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 50.0f};
    cameras = cameraStorage;
    ApplyCameraDefaults(cameras, cameraCount, worldScale);

    backgroundRed = 125;
    backgroundGreen = 167;
    backgroundBlue = 217;
    textRed = 255;
    textGreen = 255;
    textBlue = 0;
    fontHeight = 16;
    showNormals = 0;
    inverseNormals = 0;
    normalLength = 5;
    lighting = 1;
    applyOffsetY = 1;
    modelAngle = 0.0f;
    frameInterval = FrameIntervalForSpeed(DEFAULT_SPEED);
    lastFrameTime = 0.0f;
    interpolate = 0;
    pictureTime = 0.0f;
    ResetMatrices();
}

int RenderSettings::ResetMatrices() {
    D3DXMatrixIdentity(&viewMatrix);
    D3DXMatrixIdentity(&projectionMatrix);
    ReleaseHeldKeys();
    return 0;
}

void RenderSettings::ReleaseHeldKeys() { std::memset(keyDown, 0, sizeof keyDown); }

void ApplyFillMode(IDirect3DDevice9* device, int wireframe) {
    if (device)
        device->SetRenderState(D3DRS_FILLMODE, wireframe == 1 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
}
