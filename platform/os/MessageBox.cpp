#include "platform/os/MessageBox.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {

int PrintToStderr(HWND, const char* text, const char* caption, UINT) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return IDOK;
}

struct PlatformHandlers {
    std::mutex mutex;
    MessageBoxHandler messageBox = PrintToStderr;
    QuitHandler quit;
    bool quitRequested = false;
    int quitExitCode = 0;
};

PlatformHandlers& Handlers() {
    static PlatformHandlers handlers;
    return handlers;
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(Handlers().mutex);
        handler = Handlers().messageBox;
    }
    // Called outside the lock so the handler may itself install handlers or show boxes.
    return handler(owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    if (!handler) {
        handler = PrintToStderr;
    }
    std::lock_guard lock(Handlers().mutex);
    return std::exchange(Handlers().messageBox, std::move(handler));
}

void PostQuitMessage(int exitCode) {
    QuitHandler handler;
    {
        std::lock_guard lock(Handlers().mutex);
        Handlers().quitRequested = true;
        Handlers().quitExitCode = exitCode;
        handler = Handlers().quit;
    }
    if (handler) {
        handler(exitCode);
    }
}

bool QuitRequested() {
    std::lock_guard lock(Handlers().mutex);
    return Handlers().quitRequested;
}

int QuitExitCode() {
    std::lock_guard lock(Handlers().mutex);
    return Handlers().quitExitCode;
}

void ClearQuitRequest() {
    std::lock_guard lock(Handlers().mutex);
    Handlers().quitRequested = false;
    Handlers().quitExitCode = 0;
}

QuitHandler SetQuitHandler(QuitHandler handler) {
    std::lock_guard lock(Handlers().mutex);
    return std::exchange(Handlers().quit, std::move(handler));
}
