#include "desktop/MainFrame.h"

#include <QDragEnterEvent>
#include <QDropEvent>

#include "desktop/ControlPanelHooks.h"
#include "desktop/LumivoxViewWindow.h"
#include "panel/MyPropertySheet.h"
#include "platform/ui/WindowStyles.h"
#include "resources/MainFrameResources.h"

namespace {

constexpr DWORD kToolBarStyle =
    WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM;
constexpr DWORD kControlPanelStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION;
constexpr int kModelPageIndex = 1;

} // namespace

CMainFrame::CMainFrame() {
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame() {
    // The view writes the settings file as it goes, before the bars and the panel.
    view_ = nullptr;
    delete takeCentralWidget();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.x = MAIN_FRAME_X;
    cs.y = MAIN_FRAME_Y;
    cs.cx = MAIN_FRAME_WIDTH;
    cs.cy = MAIN_FRAME_HEIGHT;
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(CDocument* document) {
    view_ = new CLumivoxViewWindow(this);
    view_->SetDocument(document);
    setCentralWidget(view_);
    SetActiveView(view_);
    return TRUE;
}

int CMainFrame::OnCreate() {
    if (CFrameWnd::OnCreate() == -1)
        return -1;
    m_wndToolBar = new CToolBar;
    if (!m_wndToolBar->CreateEx(this, TBSTYLE_FLAT, kToolBarStyle, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar->LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_wndStatusBar = new CStatusBar;
    if (!m_wndStatusBar->Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar->SetIndicators(kStatusIndicators, static_cast<int>(std::size(kStatusIndicators))))
        return -1;

    controlSheet = new CMyPropertySheet;
    controlSheet->Create(this, kControlPanelStyle, 0);
    controlSheet->MoveWindow(CONTROL_PANEL_X, CONTROL_PANEL_Y, CONTROL_PANEL_WIDTH, CONTROL_PANEL_HEIGHT);
    controlSheet->show();
    controlSheet->SetActivePage(kModelPageIndex);
    if (view_)
        ConnectControlPanel(*view_, *controlSheet);
    return 0;
}

CLumivoxViewWindow* CMainFrame::ViewWindow() const {
    return view_;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (view_)
        CLumivoxViewWindow::AcceptDrag(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
    if (view_)
        view_->HandleDrop(event);
}

void CMainFrame::OnDestroy() {
    if (controlSheet)
        controlSheet->hide();
    view_ = nullptr;
    CFrameWnd::OnDestroy();
}
