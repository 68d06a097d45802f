#include "state/AnimationSpeed.h"

#include <limits>

#include "state/ModelFile.h"
#include "state/RenderSettings.h"

float FrameIntervalForSpeed(int speed) {
    // A speed of 0 or less would divide by zero; an endless interval keeps the model still.
    return speed > 0 ? 1000.0f / static_cast<float>(speed) : std::numeric_limits<float>::infinity();
}

void SetAnimationSpeed(ModelFile& record, RenderSettings& settings, int speed) {
    record.speed = speed;
    settings.frameInterval = FrameIntervalForSpeed(speed);
}
