#pragma once
// The process-wide record of what is drawn and how: device and window in use, light, matrices,
// held keys, display switches, the two cameras, colours, font size and the animation clock.
// Every part of the program reads and writes its fields directly through theRenderSettings.
// The record and its own upkeep live here; the operations that work the device and read the scene
// (lighting, cameras, input) are members too but are defined on the scene floor, each in the file
// named at its declaration.

#include <cstdint>

#include "gfxutil/math/D3DXMath.h"
#include "platform/os/WinTypes.h"
#include "state/Camera.h"
#include "state/SharedRecords.h"

struct IDirect3DDevice9;

constexpr int KEY_TABLE_SIZE = 256;

class RenderSettings {
public:
    RenderSettings();
    RenderSettings(const RenderSettings&) = delete;
    RenderSettings& operator=(const RenderSettings&) = delete;

    int ResetMatrices();
    // Defined in scene/Lighting.cpp.
    void SetupLighting();
    // Defined in scene/Camera.cpp.
    void UpdateView();
    void ResetCameras();
    // Defined in scene/Input.cpp.
    void MoveCamera();
    LRESULT HandleInput(UINT message, WPARAM wParam, LPARAM lParam);
    // Forgets every held key: a key released while the view lacks the focus never reaches it.
    void ReleaseHeldKeys();

    IDirect3DDevice9* device;
    HWND window;
    D3DXVECTOR3 lightPosition;
    D3DXMATRIX viewMatrix;
    D3DXMATRIX projectionMatrix;
    std::uint8_t keyDown[KEY_TABLE_SIZE];
    int wireframe;
    int showText;
    int fontChanged;
    int cameraCount;
    int activeCamera;
    Camera* cameras;
    float viewWidth;
    float viewHeight;
    float worldScale;
    int backgroundRed;
    int backgroundGreen;
    int backgroundBlue;
    int textRed;
    int textGreen;
    int textBlue;
    int fontHeight;
    int showNormals;
    int inverseNormals;
    int normalLength;
    int lighting;
    int applyOffsetY;
    float modelAngle;
    float frameInterval;
    float lastFrameTime;
    // Smooth motion: the model is drawn between its current key frame and the next one. A display
    // switch like the others, so it outlives the model reloads of every resize.
    int interpolate;
    // Time of the picture being composed (milliseconds of the animation clock); smooth motion
    // places the model between its key frames by it, in the shadow pass as in the main picture.
    float pictureTime;

private:
    Camera cameraStorage[2];
};

// ARGB with alpha 0xFF and the low 8 bits of each component.
constexpr DWORD ComposeColor(int red, int green, int blue) {
    return 0xFF000000u | (static_cast<DWORD>(red) & 0xFF) << 16 | (static_cast<DWORD>(green) & 0xFF) << 8 |
           (static_cast<DWORD>(blue) & 0xFF);
}

// Width over height of the view; a view without area (minimised) counts as square.
inline float ViewAspect(const RenderSettings& settings) {
    return settings.viewWidth > 0.0f && settings.viewHeight > 0.0f ? settings.viewWidth / settings.viewHeight
                                                                   : 1.0f;
}

// Sets D3DRS_FILLMODE on `device` (when there is one) from the wire-frame switch: wire-frame for 1,
// solid otherwise. Every writer of the switch applies it through here.
void ApplyFillMode(IDirect3DDevice9* device, int wireframe);
