#pragma once
// While it lives, messages the libraries show are printed to stderr as "caption: text" and the
// last text is kept, so a command can report it as its error.

#include <cstdio>
#include <string>

#include "platform/os/MessageBox.h"

class MessageCapture {
public:
    MessageCapture() {
        previous_ = SetMessageBoxHandler([this](HWND, const char* text, const char* caption, UINT) {
            std::fprintf(stderr, "%s: %s\n", caption, text);
            lastMessage = text;
            return IDOK;
        });
    }
    ~MessageCapture() { SetMessageBoxHandler(previous_); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::string lastMessage;

private:
    MessageBoxHandler previous_;
};
