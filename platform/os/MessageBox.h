#pragma once
// Message boxes and the quit request. Both go to handlers: the GUI installs a real message box
// and its loop's quit hook, tests install recorders, and without a GUI the text goes to stderr.
// Nothing here ever waits for a user.

#include "platform/os/WinTypes.h"

#include <functional>

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONHAND = MB_ICONERROR;
constexpr UINT MB_ICONSTOP = MB_ICONERROR;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using MessageBoxHandler = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
using QuitHandler = std::function<void(int exitCode)>;

// Shows `text` under `caption` through the installed handler and returns its answer. Null texts
// are passed on as empty strings.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Installs `handler` and returns the one it replaces. An empty handler restores the default,
// which prints "caption: text" to stderr and answers IDOK.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Records the quit request; the message loop ends after the current sequence of work.
void PostQuitMessage(int exitCode);
bool QuitRequested();
int QuitExitCode();
void ClearQuitRequest();

// Installs the hook told of every quit request (the GUI's loop); returns the one it replaces.
QuitHandler SetQuitHandler(QuitHandler handler);
