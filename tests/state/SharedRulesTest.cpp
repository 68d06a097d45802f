// The rules several writers share: the frame interval follows the speed, the fill mode follows the
// wire-frame switch.

#include <cmath>
#include <gtest/gtest.h>

#include "state/AnimationSpeed.h"
#include "state/ModelFile.h"
#include "state/RenderSettings.h"
#include "support/TestDevice.h"

namespace {

TEST(AnimationSpeed, ANewSpeedGoesToTheRecordAndTheIntervalTogether) {
    ModelFile record{};
    RenderSettings settings;
    SetAnimationSpeed(record, settings, 20);
    EXPECT_EQ(record.speed, 20);
    EXPECT_EQ(settings.frameInterval, 50.0f);
    SetAnimationSpeed(record, settings, 0);
    EXPECT_EQ(record.speed, 0);
    EXPECT_TRUE(std::isinf(settings.frameInterval));
    EXPECT_EQ(FrameIntervalForSpeed(DEFAULT_SPEED), RenderSettings().frameInterval);
}

TEST(FillMode, FollowsTheWireframeSwitchAndNeedsNoDevice) {
    TestDevice device;
    ApplyFillMode(device.get(), 1);
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_WIREFRAME));
    ApplyFillMode(device.get(), 0);
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
    ApplyFillMode(device.get(), 2); // only 1 asks for wire-frame
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
    ApplyFillMode(nullptr, 1);
}

} // namespace
