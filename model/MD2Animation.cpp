// Key-frame playback: one stored frame at a time, stepping inside the current block when due.

#include <algorithm>

#include "model/MD2Model.h"
#include "state/RenderSettings.h"

void MD2Model::KeepCurrentFrameInside() {
    currentFrame = FrameCount() == 0 ? 0 : std::clamp(currentFrame, 0, FrameCount() - 1);
}

int MD2Model::FrameAfter(int frame) const {
    const int link = frames[static_cast<std::size_t>(frame)].link;
    return frame + 1 > link ? link : frame + 1;
}

int MD2Model::FrameBefore(int frame) const {
    const bool firstOfBlock = std::find(blockStarts.begin(), blockStarts.end(), frame) != blockStarts.end();
    return firstOfBlock ? frames[static_cast<std::size_t>(frame)].link : frame - 1;
}

void MD2Model::StepForward() {
    currentFrame = FrameAfter(currentFrame);
}

void MD2Model::StepBackward() {
    currentFrame = FrameBefore(currentFrame);
}

int MD2Model::UpcomingFrame() const {
    // Single steps are one-off jumps, not motion: they show key frames as they are.
    if (frames.empty())
        return -1;
    if (animationMode == ANIMATION_PLAY_FORWARD || animationMode == ANIMATION_PLAY_FORWARD_BUTTON)
        return FrameAfter(currentFrame);
    if (animationMode == ANIMATION_PLAY_BACKWARD)
        return FrameBefore(currentFrame);
    return -1;
}

int MD2Model::Animate(float timeMs) {
    theRenderSettings->pictureTime = timeMs;
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
