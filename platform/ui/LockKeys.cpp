#include "platform/ui/LockKeys.h"

#include <QGuiApplication>

#ifdef LUMIVOX_HAVE_XKB
// After every Qt header: Xlib defines macros with common names.
#include <X11/XKBlib.h>

namespace {

std::optional<bool> IndicatorState(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on != False;
}

} // namespace

std::optional<LockKeyStates> ReadLockKeys() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const std::optional<bool> caps = IndicatorState(display, "Caps Lock");
    const std::optional<bool> num = IndicatorState(display, "Num Lock");
    const std::optional<bool> scroll = IndicatorState(display, "Scroll Lock");
    if (!caps || !num || !scroll)
        return std::nullopt;
    return LockKeyStates{*caps, *num, *scroll};
}

#else

std::optional<LockKeyStates> ReadLockKeys() {
    return std::nullopt;
}

#endif
