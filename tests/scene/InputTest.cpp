#include <cmath>
#include <gtest/gtest.h>

#include "platform/os/WindowMessages.h"
#include "support/SettingsScope.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class InputTest : public ::testing::Test {
protected:
    void Key(UINT message, WPARAM key) { s.HandleInput(message, key, 0); }
    void Mouse(UINT message, int x, int y) { s.HandleInput(message, 0, At(x, y)); }
    void Wheel(short delta) { s.HandleInput(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); }
    void Pictures(int count) {
        for (int i = 0; i < count; ++i)
            s.MoveCamera();
    }

    SettingsScope scope;
    RenderSettings& s = scope.settings;
    Camera& first = s.cameras[0];
};

TEST_F(InputTest, HeldWFliesForwardHalfAUnitPerPicture) {
    Key(WM_KEYDOWN, 'W');
    Pictures(10);
    EXPECT_FLOAT_EQ(first.z, -115.0f);
    EXPECT_FLOAT_EQ(first.x, 0.0f);
    EXPECT_FLOAT_EQ(first.y, 30.0f);
    Key(WM_KEYUP, 'W');
    Pictures(3);
    EXPECT_FLOAT_EQ(first.z, -115.0f);
}

TEST_F(InputTest, SidewaysAndVerticalMovesFollowYawAndPitch) {
    first.yaw = 90.0f;
    first.yawSin = 1.0f;
    first.yawCos = std::cos(90.0f * 0.017453292f);
    Key(WM_KEYDOWN, 'D');
    Pictures(1);
    EXPECT_FLOAT_EQ(first.z, -120.5f);
    EXPECT_NEAR(first.x, 0.0f, 1e-6f);
    Key(WM_KEYUP, 'D');

    first.pitch = 90.0f;
    const float x = first.x, z = first.z;
    for (WPARAM key : {'W', 'S', 'A', 'D'}) {
        Key(WM_KEYDOWN, key);
        Pictures(1);
        Key(WM_KEYUP, key);
        EXPECT_NEAR(first.x, x, 1e-6f);
        EXPECT_NEAR(first.z, z, 1e-6f);
    }
    Key(WM_KEYDOWN, 'R');
    Pictures(2);
    EXPECT_FLOAT_EQ(first.y, 31.0f);
}

TEST_F(InputTest, FirstPersonCameraMovesWhileTheOrbitCameraIsActive) {
    s.activeCamera = 1;
    Key(WM_KEYDOWN, 'W');
    Pictures(2);
    EXPECT_FLOAT_EQ(first.z, -119.0f);
}

TEST_F(InputTest, KeysOneAndTwoToggleFillModeAndCamera) {
    Key(WM_KEYDOWN, '1');
    EXPECT_EQ(s.wireframe, 1);
    Key(WM_KEYDOWN, '1'); // auto-repeat acts too
    EXPECT_EQ(s.wireframe, 0);
    Key(WM_KEYDOWN, '2');
    EXPECT_EQ(s.activeCamera, 1);
    Key(WM_KEYDOWN, '2');
    EXPECT_EQ(s.activeCamera, 0);
}

TEST_F(InputTest, KeyCodesBeyondTheTableAreIgnored) {
    Key(WM_KEYDOWN, 256);
    Key(WM_KEYDOWN, 100000);
    Key(WM_KEYUP, 0xFFFFFFFF);
    for (int k = 0; k < KEY_TABLE_SIZE; ++k)
        ASSERT_EQ(s.keyDown[k], 0);
}

TEST_F(InputTest, LosingTheFocusReleasesHeldKeys) {
    Key(WM_KEYDOWN, 'W');
    s.ReleaseHeldKeys();
    Pictures(5);
    EXPECT_FLOAT_EQ(first.z, -120.0f);
}

TEST_F(InputTest, LeftDragTurnsTheModelInWholeFiveDegreeSteps) {
    Mouse(WM_LBUTTONDOWN, 100, 50);
    for (int i = 1; i <= 5; ++i)
        Mouse(WM_MOUSEMOVE, 100 - 4 * i, 50);
    EXPECT_EQ(s.modelAngle, 0.0f);
    Mouse(WM_MOUSEMOVE, 80 - 12, 50); // 12 pixels to the left: two steps
    EXPECT_FLOAT_EQ(s.modelAngle, 2 * 0.08726647f);
    Mouse(WM_MOUSEMOVE, 68 + 5, 200); // to the right turns back; vertical motion is not used
    EXPECT_FLOAT_EQ(s.modelAngle, 0.08726647f);
    Mouse(WM_LBUTTONUP, 73, 200);
    Mouse(WM_MOUSEMOVE, 0, 0);
    EXPECT_FLOAT_EQ(s.modelAngle, 0.08726647f);
}

TEST_F(InputTest, TurnAngleWrapsPastAFullTurnOnly) {
    s.modelAngle = 6.2f;
    Mouse(WM_LBUTTONDOWN, 100, 0);
    Mouse(WM_MOUSEMOVE, 95, 0);
    EXPECT_NEAR(s.modelAngle, 0.0041f, 1e-4f);
    s.modelAngle = -6.2f;
    Mouse(WM_MOUSEMOVE, 100, 0);
    EXPECT_NEAR(s.modelAngle, -0.0041f, 1e-4f);
}

TEST_F(InputTest, RightDragTurnsTheActiveCamera) {
    Mouse(WM_RBUTTONDOWN, 10, 10);
    Mouse(WM_MOUSEMOVE, 60, 35);
    EXPECT_FLOAT_EQ(first.yaw, 10.0f);
    EXPECT_FLOAT_EQ(first.pitch, 5.0f);
    EXPECT_FLOAT_EQ(first.yawSin, std::sin(10.0f * 0.017453292f));
    EXPECT_FLOAT_EQ(first.yawCos, std::cos(10.0f * 0.017453292f));
}

TEST_F(InputTest, PressingTheOtherButtonSwitchesAndAnyReleaseEndsTheDrag) {
    Mouse(WM_LBUTTONDOWN, 100, 100);
    Mouse(WM_RBUTTONDOWN, 100, 100);
    Mouse(WM_MOUSEMOVE, 150, 100);
    EXPECT_FLOAT_EQ(first.yaw, 10.0f);
    EXPECT_EQ(s.modelAngle, 0.0f);
    Mouse(WM_LBUTTONUP, 150, 100);
    Mouse(WM_MOUSEMOVE, 200, 100);
    EXPECT_FLOAT_EQ(first.yaw, 10.0f);
}

TEST_F(InputTest, WheelZoomsTheOrbitCameraDownToFifty) {
    Wheel(-120);
    EXPECT_EQ(s.cameras[1].distance, 200.0f); // camera 0 active: ignored
    s.activeCamera = 1;
    s.cameras[1].distance = 100.0f;
    for (int i = 0; i < 3; ++i) {
        Wheel(-120);
        EXPECT_EQ(s.cameras[1].distance, 50.0f);
    }
    Wheel(240); // one step whatever the delta
    EXPECT_EQ(s.cameras[1].distance, 100.0f);
}

} // namespace
