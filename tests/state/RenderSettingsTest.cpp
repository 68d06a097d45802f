#include <bit>
#include <gtest/gtest.h>

#include "state/RenderSettings.h"

namespace {

bool IsIdentity(const D3DXMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m(r, c) != (r == c ? 1.0f : 0.0f))
                return false;
    return true;
}

TEST(RenderSettings, StartsWithItsDefaults) {
    RenderSettings s;
    EXPECT_TRUE(IsIdentity(s.viewMatrix));
    EXPECT_TRUE(IsIdentity(s.projectionMatrix));
    for (std::uint8_t key : s.keyDown)
        ASSERT_EQ(key, 0);
    EXPECT_EQ(s.device, nullptr);
    EXPECT_EQ(s.lightPosition.y, 1.5f);
    EXPECT_EQ(s.lightPosition.z, -1.0f);
    EXPECT_EQ(s.showText, 1);
    EXPECT_EQ(s.cameraCount, 2);
    EXPECT_EQ(s.activeCamera, 0);
    EXPECT_EQ(s.worldScale, 10.0f);
    EXPECT_EQ(ComposeColor(s.backgroundRed, s.backgroundGreen, s.backgroundBlue), 0xFF7DA7D9u);
    EXPECT_EQ(ComposeColor(s.textRed, s.textGreen, s.textBlue), 0xFFFFFF00u);
    EXPECT_EQ(s.fontHeight, 16);
    EXPECT_EQ(s.normalLength, 5);
    EXPECT_EQ(s.lighting, 1);
    EXPECT_EQ(s.applyOffsetY, 1);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(s.frameInterval), 0x42055555u);
    EXPECT_EQ(s.lastFrameTime, 0.0f);
    EXPECT_EQ(s.interpolate, 0); // stepped key frames unless asked for smooth motion
}

TEST(RenderSettings, CamerasStartAtTheirPlaces) {
    RenderSettings s;
    const Camera& first = s.cameras[0];
    EXPECT_EQ(first.x, 0.0f);
    EXPECT_EQ(first.y, 30.0f);
    EXPECT_EQ(first.z, -120.0f);
    EXPECT_EQ(first.yawCos, 1.0f);
    EXPECT_EQ(first.farPlane, 3200.0f);
    EXPECT_EQ(first.distance, 50.0f);
    const Camera& orbit = s.cameras[1];
    EXPECT_EQ(orbit.yaw, 45.0f);
    EXPECT_EQ(orbit.yawSin, 0.70710677f);
    EXPECT_EQ(orbit.yawCos, 0.70710677f);
    EXPECT_EQ(orbit.pitch, 210.0f);
    EXPECT_EQ(orbit.farPlane, 20000.0f);
    EXPECT_EQ(orbit.distance, 200.0f);
}

TEST(RenderSettings, ColoursKeepTheLowEightBitsOfEachComponent) {
    EXPECT_EQ(ComposeColor(256, 300, 0), 0xFF002C00u);
    EXPECT_EQ(ComposeColor(-1, 0, 255), 0xFFFF00FFu);
}

TEST(RenderSettings, ResetMatricesForgetsHeldKeys) {
    RenderSettings s;
    s.keyDown['W'] = 1;
    s.viewMatrix._41 = 3.0f;
    EXPECT_EQ(s.ResetMatrices(), 0);
    EXPECT_EQ(s.keyDown['W'], 0);
    EXPECT_TRUE(IsIdentity(s.viewMatrix));
}

} // namespace
