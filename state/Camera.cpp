#include "state/Camera.h"

#include <cmath>

namespace {

constexpr double kQuarterTurn = 0.7853981573134661;

} // namespace

void ApplyCameraDefaults(Camera* cameras, int cameraCount, float worldScale) {
    if (cameraCount > 0) {
        Camera& c = cameras[0];
        c.x = 0.0f;
        c.y = 3.0f * worldScale;
        c.z = -12.0f * worldScale;
        c.yaw = 0.0f;
        c.yawSin = std::sin(0.0f);
        c.yawCos = std::cos(0.0f);
        c.pitch = 0.0f;
        c.farPlane = 320.0f * worldScale;
    }
    if (cameraCount > 1) {
        Camera& c = cameras[1];
        c.x = c.y = c.z = 0.0f;
        c.yaw = 45.0f;
        c.yawSin = static_cast<float>(std::sin(kQuarterTurn));
        c.yawCos = static_cast<float>(std::cos(kQuarterTurn));
        c.pitch = 210.0f;
        c.farPlane = 20000.0f;
        c.distance = 20.0f * worldScale;
    }
}
