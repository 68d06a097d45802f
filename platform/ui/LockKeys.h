#pragma once
// The states of the lock keys, for the status bar's indicators.

#include <optional>

struct LockKeyStates {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Read from the window system where it tells them (X11, through its keyboard extension); nothing
// where it does not (no display, Wayland).
std::optional<LockKeyStates> ReadLockKeys();
