#include "app/RenderSettings.h"

#include <cstring>

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
    ApplyCameraDefaults();

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
    frameInterval = 1000.0f / 30.0f;
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
