#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "platform/ui/WindowMessageTranslator.h"

namespace {

QKeyEvent Key(QEvent::Type type, int key, bool autoRepeat = false,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return QKeyEvent(type, key, modifiers, QString(), autoRepeat);
}

QMouseEvent Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    return QMouseEvent(type, QPointF(at), QPointF(at), button, held, Qt::NoModifier);
}

QWheelEvent Wheel(QPoint angle, QPoint screen) {
    return QWheelEvent(QPointF(5, 5), QPointF(screen), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
}

} // namespace

TEST(KeyTranslation, LettersDigitsAndNamedKeysGetWindowsCodes) {
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_W, Qt::NoModifier), UINT('W'));
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_1, Qt::NoModifier), 0x31u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_2, Qt::NoModifier), 0x32u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Escape, Qt::NoModifier), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F6, Qt::NoModifier), VK_F6);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Left, Qt::NoModifier), VK_LEFT);
    // The keypad's 1 is not the main keyboard's 1, which alone toggles the fill mode.
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_1, Qt::KeypadModifier), VK_NUMPAD0 + 1);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_unknown, Qt::NoModifier), 0u);
}

TEST(KeyTranslation, VirtualKeysMapBackForTheAccelerators) {
    for (const UINT code : {UINT('N'), UINT('O'), UINT('7'), VK_ESCAPE, VK_F6, VK_INSERT, VK_DELETE, VK_BACK})
        EXPECT_EQ(VirtualKeyFromQtKey(QtKeyFromVirtualKey(code), Qt::NoModifier), code) << code;
}

TEST(KeyTranslation, EveryPressIsAKeyDownIncludingAutoRepeat) {
    const auto first = TranslateKeyPress(Key(QEvent::KeyPress, Qt::Key_1));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message, WM_KEYDOWN);
    EXPECT_EQ(first->wParam, 0x31u);
    EXPECT_EQ(first->lParam & (1 << 30), 0);

    const auto repeat = TranslateKeyPress(Key(QEvent::KeyPress, Qt::Key_1, true));
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->message, WM_KEYDOWN);
    EXPECT_NE(repeat->lParam & (1 << 30), 0) << "a repeat says the key was already down";
}

TEST(KeyTranslation, OnlyRealReleasesAreKeyUps) {
    EXPECT_FALSE(TranslateKeyRelease(Key(QEvent::KeyRelease, Qt::Key_W, true)));
    const auto release = TranslateKeyRelease(Key(QEvent::KeyRelease, Qt::Key_W));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->message, WM_KEYUP);
    EXPECT_EQ(release->wParam, WPARAM('W'));
    EXPECT_FALSE(TranslateKeyPress(Key(QEvent::KeyPress, Qt::Key_unknown)));
}

TEST(MouseTranslation, ButtonsCarryTheClientPositionAndFlags) {
    const auto left =
        TranslateMouse(Mouse(QEvent::MouseButtonPress, {12, 340}, Qt::LeftButton, Qt::LeftButton));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->message, WM_LBUTTONDOWN);
    EXPECT_EQ(left->wParam, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(left->lParam), 12);
    EXPECT_EQ(GET_Y_LPARAM(left->lParam), 340);

    const auto rightUp =
        TranslateMouse(Mouse(QEvent::MouseButtonRelease, {3, 4}, Qt::RightButton, Qt::NoButton));
    ASSERT_TRUE(rightUp);
    EXPECT_EQ(rightUp->message, WM_RBUTTONUP);
    EXPECT_EQ(rightUp->wParam, 0u);

    const auto twice =
        TranslateMouse(Mouse(QEvent::MouseButtonDblClick, {3, 4}, Qt::LeftButton, Qt::LeftButton));
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->message, WM_LBUTTONDBLCLK);
}

TEST(MouseTranslation, MovesReportTheHeldButtons) {
    const auto move = TranslateMouse(Mouse(QEvent::MouseMove, {7, 8}, Qt::NoButton, Qt::RightButton));
    ASSERT_TRUE(move);
    EXPECT_EQ(move->message, WM_MOUSEMOVE);
    EXPECT_EQ(move->wParam, MK_RBUTTON);
    EXPECT_EQ(move->lParam, MAKELPARAM(7, 8));
    EXPECT_FALSE(TranslateMouse(Mouse(QEvent::MouseButtonPress, {1, 1}, Qt::BackButton, Qt::BackButton)));
}

TEST(MouseTranslation, WheelDeltaIsSignedInTheHighWord) {
    const auto towards = TranslateWheel(Wheel({0, -120}, {300, 200}));
    ASSERT_TRUE(towards);
    EXPECT_EQ(towards->message, WM_MOUSEWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(towards->wParam), -120);
    EXPECT_EQ(towards->lParam, MAKELPARAM(300, 200)) << "the wheel reports the screen position";

    const auto away = TranslateWheel(Wheel({0, 240}, {0, 0}));
    ASSERT_TRUE(away);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(away->wParam), 240);
    EXPECT_FALSE(TranslateWheel(Wheel({120, 0}, {0, 0}))) << "a sideways turn is no WM_MOUSEWHEEL";
}
