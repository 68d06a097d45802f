#pragma once
// One camera of RenderSettings: heading and pitch, the first-person eye, its far plane and the
// orbit distance of the look-at camera.

struct Camera {
    float yaw;      // degrees
    float yawSin;   // sin of yaw, kept in step with it
    float yawCos;   // cos of yaw
    float pitch;    // degrees
    float x, y, z;  // eye of the first-person camera
    float farPlane; // far clipping distance while this camera is active
    float distance; // orbit distance of the look-at camera
};
static_assert(sizeof(Camera) == 36);

// Camera 0 (first person) and camera 1 (look-at) of `cameras` get their start settings, the
// lengths in units of `worldScale`; camera 0 keeps its distance. Cameras beyond `cameraCount`
// are left alone.
void ApplyCameraDefaults(Camera* cameras, int cameraCount, float worldScale);
