#pragma once
// Records every message box shown while it lives and answers them with a chosen button.

#include "platform/os/MessageBox.h"

#include <string>
#include <vector>

class MessageBoxRecorder {
public:
    struct Shown {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };

    explicit MessageBoxRecorder(int answer = IDOK) {
        previous = SetMessageBoxHandler(
            [this, answer](HWND owner, const char* text, const char* caption, UINT type) {
                shown.push_back({owner, text, caption, type});
                return answer;
            });
    }
    ~MessageBoxRecorder() { SetMessageBoxHandler(previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Shown> shown;

private:
    MessageBoxHandler previous;
};
