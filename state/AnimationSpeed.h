#pragma once
// The animation speed in frames per second and the frame interval that follows from it.

class RenderSettings;
struct ModelFile;

constexpr int DEFAULT_SPEED = 30;
// The fastest speed the settings file keeps and the speed slider offers.
constexpr int MAX_SPEED = 50;

// Milliseconds per animation step at `speed` frames per second.
float FrameIntervalForSpeed(int speed);

// A new speed from the user: the next load uses it and the running animation follows at once.
void SetAnimationSpeed(ModelFile& record, RenderSettings& settings, int speed);
