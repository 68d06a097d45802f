#pragma once
// Message boxes and the quit request of the program, shown and handled through Qt.

// Routes MessageBoxA to a modal QMessageBox and PostQuitMessage to the Qt event loop.
void InstallQtMessageBox();

// The Qt message box's buttons and icon for a MessageBoxA type, and the answer for a button.
int ShowQtMessageBox(const char* text, const char* caption, unsigned type);
