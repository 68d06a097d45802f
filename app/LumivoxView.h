#pragma once
// The 3D view: owns the device and the overlay font, creates the device at its initial update,
// resets it and rebuilds everything at every size change, and composes one picture per idle
// pass. It is told of its window's events by whoever owns the window; a null window makes it
// headless, with the same pictures.

#include <cstdint>
#include <functional>

#include "app/SettingsFile.h"
#include "platform/d3d9/Direct3D9.h"

struct ID3DXFont;

constexpr int CURRENT_DIRECTORY_SIZE = 256;
constexpr int OVERLAY_LINE_COUNT = 6;

class CLumivoxView {
public:
    CLumivoxView();
    virtual ~CLumivoxView();
    CLumivoxView(const CLumivoxView&) = delete;
    CLumivoxView& operator=(const CLumivoxView&) = delete;

    // Window events.
    void AttachWindow(HWND window) { window_ = window; }
    HWND Window() const { return window_; }
    void OnInitialUpdate(int clientWidth, int clientHeight);
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus();
    void OnKillFocus();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HRESULT initD3D(HWND window, int width, int height, BOOL windowed, D3DDEVTYPE deviceType);
    HRESULT setup();
    HRESULT CreateOverlayFont();
    HRESULT destroy();
    HRESULT Update();
    HRESULT Render(float timeMs);
    virtual int DrawOverlayText();

    void LoadSettings(const char* fileName) { settingsFile_.LoadSettings(fileName); }
    HRESULT CheckDataPath(char (&path)[MODEL_PATH_SIZE]) { return settingsFile_.CheckDataPath(path); }
    void SaveSettings(const char* fileName) { settingsFile_.SaveSettings(fileName); }
    std::string DataFolder() const { return settingsFile_.DataFolder(); }

    // Called once per picture before the scene ends, to show the current frame on the control
    // panel. Installed by the windows; empty without them.
    std::function<void()> frameDisplayHook;
    // The program writes the settings file when the view goes; tools that only look may not.
    bool saveSettingsOnDestroy = true;

    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS presentParams{};
    ID3DXFont* overlayFont = nullptr;
    LONGLONG lastCounter = 0;
    LONGLONG nowCounter = 0;
    LONGLONG counterFrequency = 0;
    float frameSeconds = 0.0f;
    float framesPerSecond = 0.0f;
    char currentDirectory[CURRENT_DIRECTORY_SIZE] = {};

private:
    void MeasureFrameTime();
    void ResetDevice();

    HWND window_ = nullptr;
    SettingsFile settingsFile_;
};
