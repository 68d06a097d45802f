#include "platform/ui/WindowMessageTranslator.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

struct KeyPair {
    int qtKey;
    UINT virtualKey;
};

constexpr KeyPair kNamedKeys[] = {
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},        {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},       {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_CapsLock, 0x14},      {Qt::Key_NumLock, 0x90},      {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Print, 0x2C},         {Qt::Key_Semicolon, 0xBA},    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Comma, 0xBC},         {Qt::Key_Minus, 0xBD},        {Qt::Key_Period, 0xBE},
    {Qt::Key_Slash, 0xBF},         {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},     {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
};

constexpr UINT VK_NUMPAD_FIRST = VK_NUMPAD0;

UINT KeypadVirtualKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD_FIRST + static_cast<UINT>(key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk:
        return VK_MULTIPLY;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Period:
        return VK_DECIMAL;
    case Qt::Key_Slash:
        return VK_DIVIDE;
    default:
        return 0;
    }
}

// Windows' key-message lParam: repeat count 1, the previous-state bit for repeats, and for a
// release the previous-state and transition bits.
LPARAM KeyLParam(bool release, bool repeat) {
    DWORD bits = 1;
    if (repeat || release)
        bits |= 1u << 30;
    if (release)
        bits |= 1u << 31;
    return static_cast<LPARAM>(bits);
}

WPARAM MouseKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    return state;
}

std::optional<UINT> ButtonMessage(Qt::MouseButton button, QEvent::Type type) {
    const int kind = type == QEvent::MouseButtonPress ? 0 : type == QEvent::MouseButtonRelease ? 1 : 2;
    switch (button) {
    case Qt::LeftButton:
        return WM_LBUTTONDOWN + static_cast<UINT>(kind);
    case Qt::RightButton:
        return WM_RBUTTONDOWN + static_cast<UINT>(kind);
    case Qt::MiddleButton:
        return WM_MBUTTONDOWN + static_cast<UINT>(kind);
    default:
        return std::nullopt;
    }
}

} // namespace

UINT VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (const UINT keypad = KeypadVirtualKey(key))
            return keypad;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + static_cast<UINT>(key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + static_cast<UINT>(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    for (const KeyPair& pair : kNamedKeys) {
        if (pair.qtKey == key)
            return pair.virtualKey;
    }
    return 0;
}

int QtKeyFromVirtualKey(UINT virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return Qt::Key_A + static_cast<int>(virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return Qt::Key_0 + static_cast<int>(virtualKey - '0');
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 24)
        return Qt::Key_F1 + static_cast<int>(virtualKey - VK_F1);
    for (const KeyPair& pair : kNamedKeys) {
        if (pair.virtualKey == virtualKey)
            return pair.qtKey;
    }
    return 0;
}

std::optional<WindowMessage> TranslateKeyPress(const QKeyEvent& event) {
    const UINT virtualKey = VirtualKeyFromQtKey(event.key(), event.modifiers());
    if (virtualKey == 0)
        return std::nullopt;
    return WindowMessage{WM_KEYDOWN, virtualKey, KeyLParam(false, event.isAutoRepeat())};
}

std::optional<WindowMessage> TranslateKeyRelease(const QKeyEvent& event) {
    const UINT virtualKey = VirtualKeyFromQtKey(event.key(), event.modifiers());
    if (virtualKey == 0 || event.isAutoRepeat())
        return std::nullopt;
    return WindowMessage{WM_KEYUP, virtualKey, KeyLParam(true, false)};
}

std::optional<WindowMessage> TranslateMouse(const QMouseEvent& event) {
    const QPoint position = event.position().toPoint();
    const LPARAM where = MAKELPARAM(position.x(), position.y());
    const WPARAM state = MouseKeyState(event.buttons(), event.modifiers());
    if (event.type() == QEvent::MouseMove)
        return WindowMessage{WM_MOUSEMOVE, state, where};
    const std::optional<UINT> message = ButtonMessage(event.button(), event.type());
    if (!message)
        return std::nullopt;
    return WindowMessage{*message, state, where};
}

std::optional<WindowMessage> TranslateWheel(const QWheelEvent& event) {
    const int delta = event.angleDelta().y();
    if (delta == 0)
        return std::nullopt;
    const QPoint screen = event.globalPosition().toPoint();
    const WPARAM state = MouseKeyState(event.buttons(), event.modifiers());
    return WindowMessage{WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(state), delta),
                         MAKELPARAM(screen.x(), screen.y())};
}
