#include "desktop/LumivoxApp.h"

#include <QCoreApplication>

#include "desktop/LumivoxDoc.h"
#include "desktop/LumivoxViewWindow.h"
#include "desktop/MainFrame.h"
#include "desktop/NamedModelLoad.h"
#include "panel/MyPropertySheet.h"
#include "platform/os/Clock.h"
#include "platform/ui/Dialog.h"
#include "resources/Resource.h"
#include "state/RenderSettings.h"

CLumivoxApp::CLumivoxApp() {
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    OnCommand(ID_VIEW_SMOOTH_MOTION, [this] { OnSmoothMotion(); });
    OnUpdateCommand(ID_VIEW_SMOOTH_MOTION, [](CCmdUI* ui) { ui->SetCheck(theRenderSettings->interpolate); });
}

BOOL CLumivoxApp::CreateMainWindow() {
    SetRegistryKey(PROFILE_REGISTRY_KEY);
    LoadStdProfileSettings(RECENT_FILE_COUNT);
    theRenderSettings->interpolate =
        GetProfileInt(PROFILE_SETTINGS_SECTION, PROFILE_SMOOTH_MOTION, 0) == 1 ? 1 : 0;
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CLumivoxDoc>(); },
        [] { return std::make_unique<CMainFrame>(); }));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    // The arguments name the model to show (UseCommandLineModel), not a document to open.
    commandLine.m_nShellCommand = CCommandLineInfo::FileNew;
    return ProcessShellCommand(commandLine);
}

void CLumivoxApp::ShowMainWindow() {
    if (!m_pMainWnd)
        return;
    // The buttons show their states from the start, before the first idle pass refreshes them.
    m_pMainWnd->UpdateToolbarState();
    m_pMainWnd->show();
    m_pMainWnd->activateWindow();
    if (CLumivoxViewWindow* view = ActiveViewWindow())
        view->setFocus(Qt::ActiveWindowFocusReason);
}

void CLumivoxApp::RunStartupLoad() {
    // Nothing to load into when the device could not be made.
    CLumivoxViewWindow* view = ActiveViewWindow();
    if (view && view->View().device)
        view->OnStartupLoad();
}

bool CLumivoxApp::UseCommandLineModel(const QStringList& arguments) {
    CLumivoxViewWindow* view = ActiveViewWindow();
    const std::optional<ModelChoice> choice = ModelFromArguments(arguments);
    return view && view->View().device && choice && StoreNamedModel(view->View(), *choice);
}

void CLumivoxApp::RefreshModelPage() {
    const CMainFrame* frame = MainFrame();
    if (frame && frame->controlSheet)
        frame->controlSheet->page3.UpdateModelInfo();
}

void CLumivoxApp::FinishStartup(const QStringList& arguments) {
    const bool named = UseCommandLineModel(arguments);
    ShowMainWindow();
    if (named)
        RefreshModelPage();
    else
        RunStartupLoad();
}

BOOL CLumivoxApp::InitInstance() {
    if (!CreateMainWindow())
        return FALSE;
    FinishStartup(QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList());
    return TRUE;
}

CMainFrame* CLumivoxApp::MainFrame() const {
    return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

CLumivoxViewWindow* CLumivoxApp::ActiveViewWindow() const {
    const CMainFrame* frame = MainFrame();
    return frame ? frame->ViewWindow() : nullptr;
}

BOOL CLumivoxApp::OnIdle(LONG count) {
    CWinApp::OnIdle(count);
    CLumivoxViewWindow* view = ActiveViewWindow();
    if (!view)
        return TRUE;
    const float timeMs = static_cast<float>(timeGetTime());
    view->View().Update();
    view->View().Render(timeMs);
    ++idlePasses_;
    return TRUE;
}

void CLumivoxApp::OnAppAbout() {
    CDialog about(IDD_ABOUTBOX, m_pMainWnd);
    about.DoModal();
}

void CLumivoxApp::OnSmoothMotion() {
    RenderSettings& settings = *theRenderSettings;
    settings.interpolate = settings.interpolate == 0 ? 1 : 0;
    WriteProfileInt(PROFILE_SETTINGS_SECTION, PROFILE_SMOOTH_MOTION, settings.interpolate);
}

void CLumivoxApp::OnFileOpen() {
    // Ctrl+O opens the load dialog; the framework's own open would repeat the view's start.
    if (CLumivoxViewWindow* view = ActiveViewWindow())
        view->OnLoadModel();
}
