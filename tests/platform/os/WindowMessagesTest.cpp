#include "platform/os/WindowMessages.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowMessages, PointerPositionsAreSigned) {
    const LPARAM position = MAKELPARAM(-5, 300);
    EXPECT_EQ(GET_X_LPARAM(position), -5);
    EXPECT_EQ(GET_Y_LPARAM(position), 300);
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(0, -32768)), -32768);
}

TEST(WindowMessages, WheelDeltaIsTheSignedHighWord) {
    const WPARAM towardsUser = MAKEWPARAM(MK_LBUTTON | MK_SHIFT, -WHEEL_DELTA);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(towardsUser), -120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(towardsUser), MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, 2 * WHEEL_DELTA)), 240);
}

} // namespace
