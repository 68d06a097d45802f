#pragma once
// Records every message box shown while it lives, instead of printing it.

#include <string>
#include <vector>

#include "platform/os/MessageBox.h"

struct RecordedMessage {
    std::string text;
    std::string caption;
};

class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = SetMessageBoxHandler([this](HWND, const char* text, const char* caption, UINT) {
            messages.push_back({text, caption});
            return IDOK;
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler(previous_); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<RecordedMessage> messages;

private:
    MessageBoxHandler previous_;
};
