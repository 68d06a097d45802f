#pragma once
// Message boxes and the quit request of the program, shown and handled through Qt.

// Routes MessageBoxA to a modal QMessageBox and PostQuitMessage to the Qt event loop.
void InstallQtMessageBox();

// The Qt message box's buttons and icon for a MessageBoxA type, and the answer for a button.
int ShowQtMessageBox(const char* text, const char* caption, unsigned type);

// While one lives, boxes with only an OK button, and the quit request behind them, wait until the
// event being handled is over: a modal loop inside a resize or paint event would run the whole
// event loop inside Qt's layout code. The boxes are shown in order as soon as the event loop gets
// to them (a box already waiting is not queued twice), then the quit request is passed on.
class MessageBoxDeferral {
public:
    MessageBoxDeferral();
    ~MessageBoxDeferral();
    MessageBoxDeferral(const MessageBoxDeferral&) = delete;
    MessageBoxDeferral& operator=(const MessageBoxDeferral&) = delete;
};

// Shows the boxes that wait now, then passes on a quit request that waited behind them. Nothing
// happens inside a deferral.
void ShowDeferredMessageBoxes();
