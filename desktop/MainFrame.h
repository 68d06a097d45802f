#pragma once
// The main window: the view, the toolbar, the status bar, and the control panel beside it.

#include "platform/ui/ControlBars.h"
#include "platform/ui/FrameWnd.h"

class CMyPropertySheet;
class CLumivoxViewWindow;

constexpr int MAIN_FRAME_X = 50;
constexpr int MAIN_FRAME_Y = 50;
constexpr int MAIN_FRAME_WIDTH = 720;
constexpr int MAIN_FRAME_HEIGHT = 600;
constexpr int CONTROL_PANEL_X = 770;
constexpr int CONTROL_PANEL_Y = 100;
constexpr int CONTROL_PANEL_WIDTH = 250;
constexpr int CONTROL_PANEL_HEIGHT = 500;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate() override;
    BOOL OnCreateClient(CDocument* document) override;

    // The view's window, or null once the frame has been closed.
    CLumivoxViewWindow* ViewWindow() const;
    CToolBar* ToolBar() const { return m_wndToolBar; }
    CStatusBar* StatusBar() const { return m_wndStatusBar; }

    // Owned by the frame's window (a Qt child), so it goes with it at exit.
    CMyPropertySheet* controlSheet = nullptr;

protected:
    void OnDestroy() override;
    // Files dropped on the bars go where files dropped on the view go.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Both belong to the frame's window.
    CStatusBar* m_wndStatusBar = nullptr;
    CToolBar* m_wndToolBar = nullptr;
    CLumivoxViewWindow* view_ = nullptr;
};
