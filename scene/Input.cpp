// Keyboard and mouse: the window messages of the view and the per-picture flight of the
// first-person camera.

#include <cmath>

#include "platform/d3d9/Direct3D9.h"
#include "platform/os/WindowMessages.h"
#include "state/RenderSettings.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kModelStep = 0.08726647f; // 5 degrees
constexpr float kFullTurn = 6.2831855f;

enum DragMode { NO_DRAG = 0, TURN_MODEL = 1, TURN_CAMERA = 2 };

struct DragState {
    int mode = NO_DRAG;
    int lastX = 0;
    int lastY = 0;
};
DragState drag;

int PointerX(LPARAM lParam) { return LOWORD(static_cast<std::uintptr_t>(lParam)); }
int PointerY(LPARAM lParam) { return HIWORD(static_cast<std::uintptr_t>(lParam)); }

void StartDrag(int mode, LPARAM lParam) {
    drag.mode = mode;
    drag.lastX = PointerX(lParam);
    drag.lastY = PointerY(lParam);
}

// Whole 5-degree steps, one for every 5 pixels of horizontal motion in this message.
void TurnModel(RenderSettings& s, int dx) {
    const int steps = static_cast<int>(static_cast<float>(dx) * 0.2f);
    s.modelAngle = s.modelAngle + static_cast<float>(steps) * kModelStep;
    if (s.modelAngle > kFullTurn)
        s.modelAngle -= kFullTurn;
    else if (s.modelAngle < -kFullTurn)
        s.modelAngle += kFullTurn;
}

void TurnCamera(Camera& c, int dx, int dy) {
    c.yaw = static_cast<float>(c.yaw + dx * 0.2);
    c.yawSin = std::sin(c.yaw * kDegreesToRadians);
    c.yawCos = std::cos(c.yaw * kDegreesToRadians);
    c.pitch = static_cast<float>(c.pitch + dy * 0.2);
}

void DragStep(RenderSettings& s, LPARAM lParam) {
    const int x = PointerX(lParam);
    const int y = PointerY(lParam);
    const int x0 = drag.lastX;
    const int y0 = drag.lastY;
    drag.lastX = x;
    drag.lastY = y;
    if (drag.mode == TURN_MODEL)
        TurnModel(s, x0 - x);
    else if (s.activeCamera >= 0 && s.activeCamera < s.cameraCount)
        TurnCamera(s.cameras[s.activeCamera], x - x0, y - y0);
}

void Zoom(RenderSettings& s, WPARAM wParam) {
    const float step = 5.0f * s.worldScale;
    const short delta = GET_WHEEL_DELTA_WPARAM(wParam);
    float& distance = s.cameras[1].distance;
    if (delta > 0) {
        distance = distance + step;
    } else {
        distance = distance - step;
        if (distance < step)
            distance = step;
    }
}

void ToggleFillMode(RenderSettings& s) {
    s.wireframe = s.wireframe == 0 ? 1 : 0;
    ApplyFillMode(s.device, s.wireframe);
}

void NextCamera(RenderSettings& s) {
    s.activeCamera = s.activeCamera + 1;
    if (s.activeCamera >= s.cameraCount)
        s.activeCamera = 0;
}

void KeyDown(RenderSettings& s, WPARAM key) {
    if (key >= KEY_TABLE_SIZE)
        return;
    s.keyDown[key] = 1;
    if (key == '1')
        ToggleFillMode(s);
    else if (key == '2')
        NextCamera(s);
}

} // namespace

LRESULT RenderSettings::HandleInput(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        KeyDown(*this, wParam);
        break;
    case WM_KEYUP:
        if (wParam < KEY_TABLE_SIZE)
            keyDown[wParam] = 0;
        break;
    case WM_LBUTTONDOWN:
        StartDrag(TURN_MODEL, lParam);
        break;
    case WM_RBUTTONDOWN:
        StartDrag(TURN_CAMERA, lParam);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        drag.mode = NO_DRAG;
        break;
    case WM_MOUSEMOVE:
        if (drag.mode != NO_DRAG)
            DragStep(*this, lParam);
        break;
    case WM_MOUSEWHEEL:
        if (activeCamera == 1 && cameraCount > 1)
            Zoom(*this, wParam);
        break;
    default:
        break;
    }
    return 0;
}

void RenderSettings::MoveCamera() {
    const float a = worldScale * 0.05f;
    Camera& c = cameras[0];
    const auto pitchCos = [&c] { return std::cos(c.pitch * kDegreesToRadians); };
    if (keyDown['W']) {
        c.x = c.x + a * pitchCos() * c.yawSin;
        c.z = c.z + a * pitchCos() * c.yawCos;
    }
    if (keyDown['S']) {
        c.x = c.x - a * pitchCos() * c.yawSin;
        c.z = c.z - a * pitchCos() * c.yawCos;
    }
    if (keyDown['A']) {
        c.x = c.x - a * pitchCos() * c.yawCos;
        c.z = c.z + a * pitchCos() * c.yawSin;
    }
    if (keyDown['D']) {
        c.x = c.x + a * pitchCos() * c.yawCos;
        c.z = c.z - a * pitchCos() * c.yawSin;
    }
    if (keyDown['R'])
        c.y = c.y + a;
    if (keyDown['F'])
        c.y = c.y - a;
}
