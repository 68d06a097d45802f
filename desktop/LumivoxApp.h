#pragma once
// The application: start-up, the render loop in idle time and the about box.

#include <QStringList>
#include <cstdint>

#include "platform/ui/WinApp.h"

class CMainFrame;
class CLumivoxViewWindow;

constexpr const char* PROFILE_REGISTRY_KEY = "Local AppWizard-Generated Applications";
constexpr UINT RECENT_FILE_COUNT = 4;
constexpr const char* PROFILE_SETTINGS_SECTION = "Settings";
constexpr const char* PROFILE_SMOOTH_MOTION = "SmoothMotion";

class CLumivoxApp : public CWinApp {
public:
    CLumivoxApp();

    BOOL InitInstance() override;
    // One update and one picture per pass; always asks for the next pass.
    BOOL OnIdle(LONG count) override;
    void OnAppAbout();
    // Smooth motion on or off; the choice is kept in the profile for the next start.
    void OnSmoothMotion();

    // The steps of InitInstance: the profile and the document template, then document, frame and
    // view (the view creates the device and reads the settings file); showing the frame (its first
    // size message sets the scene up); the start-up load dialog.
    BOOL CreateMainWindow();
    void ShowMainWindow();
    void RunStartupLoad();
    // The rest of InitInstance once the frame exists, for the program's `arguments`: a model named
    // there (MODEL [SKIN [RAMP]]) takes the start-up load dialog's place. It is stored and
    // recorded in the settings file before the frame is shown, so the first size message loads
    // it, and the model page is refreshed as after the dialog.
    void FinishStartup(const QStringList& arguments);
    bool UseCommandLineModel(const QStringList& arguments);
    void RefreshModelPage();

    CMainFrame* MainFrame() const;
    // The view's window: the first child of the main window, or null.
    CLumivoxViewWindow* ActiveViewWindow() const;
    std::uint64_t IdlePasses() const { return idlePasses_; }

protected:
    void OnFileOpen() override;

private:
    std::uint64_t idlePasses_ = 0;
};
