// Key-frame playback: one stored frame at a time, stepping inside the current block when due.

#include <algorithm>

#include "model/MD2Model.h"
#include "state/RenderSettings.h"

void MD2Model::KeepCurrentFrameInside() {
    currentFrame = FrameCount() == 0 ? 0 : std::clamp(currentFrame, 0, FrameCount() - 1);
}

void MD2Model::StepForward() {
    const int link = frames[static_cast<std::size_t>(currentFrame)].link;
    currentFrame = currentFrame + 1 > link ? link : currentFrame + 1;
}

void MD2Model::StepBackward() {
    const bool firstOfBlock = std::find(blockStarts.begin(), blockStarts.end(), currentFrame) != blockStarts.end();
    currentFrame = firstOfBlock ? frames[static_cast<std::size_t>(currentFrame)].link : currentFrame - 1;
}

int MD2Model::Animate(float timeMs) {
    Draw();
    int mode = animationMode;
    if (mode == ANIMATION_STEP_BACKWARD || mode == ANIMATION_STEP_FORWARD) {
        animationMode = ANIMATION_STOPPED;
        mode = mode == ANIMATION_STEP_BACKWARD ? ANIMATION_PLAY_BACKWARD : ANIMATION_PLAY_FORWARD_BUTTON;
    }
    const bool forward = mode == ANIMATION_PLAY_FORWARD || mode == ANIMATION_PLAY_FORWARD_BUTTON;
    if ((!forward && mode != ANIMATION_PLAY_BACKWARD) || frames.empty())
        return 0;

    RenderSettings& settings = *theRenderSettings;
    if (!(timeMs - settings.lastFrameTime >= settings.frameInterval))
        return 0;
    settings.lastFrameTime = timeMs;
    KeepCurrentFrameInside();
    if (forward)
        StepForward();
    else
        StepBackward();
    return 0;
}
