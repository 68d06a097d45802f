#pragma once
// Qt input events as the window messages a Windows window procedure would receive: message
// number, wParam and lParam, with Windows virtual-key codes and client positions.

#include <Qt>
#include <optional>

#include "platform/os/WindowMessages.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

struct WindowMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The virtual-key code of a Qt key (0 when Windows has none); keypad digits get VK_NUMPAD0..9.
UINT VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers);
// The Qt key of a virtual-key code, or 0.
int QtKeyFromVirtualKey(UINT virtualKey);

// WM_KEYDOWN for every press, auto-repeat included; no message for keys without a code.
std::optional<WindowMessage> TranslateKeyPress(const QKeyEvent& event);
// WM_KEYUP; the releases Qt makes up between auto-repeated presses give no message.
std::optional<WindowMessage> TranslateKeyRelease(const QKeyEvent& event);
// Button presses (a double click's second press is WM_?BUTTONDBLCLK), releases and moves, with
// the pointer in client coordinates in lParam and the button and modifier flags in wParam.
std::optional<WindowMessage> TranslateMouse(const QMouseEvent& event);
// WM_MOUSEWHEEL with the signed vertical delta in the high word of wParam and the screen position
// in lParam; no message for a purely horizontal turn.
std::optional<WindowMessage> TranslateWheel(const QWheelEvent& event);
