#pragma once
// The main frame window: menu, accelerators, toolbar, status bar and one view; routes commands to
// the view, its document, the frame and the application, and refreshes the command states.

#include <QMainWindow>
#include <map>
#include <optional>
#include <vector>

#include "platform/ui/CmdTarget.h"

class CDocument;
class CView;
class CToolBar;
class CStatusBar;
class QMenu;

struct CREATESTRUCT {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;
    DWORD dwExStyle = 0;
};

class CFrameWnd : public QMainWindow, public CCmdTarget {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the frame from resource `resourceId` (menu, accelerators, icon, title) for
    // `document`; FALSE when PreCreateWindow or OnCreate refuses.
    BOOL LoadFrame(UINT resourceId, CDocument* document);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // 0 to go on, -1 to abandon the window. The base creates the view (OnCreateClient).
    virtual int OnCreate();
    // Creates the view for the document.
    virtual BOOL OnCreateClient(CDocument* document);
    // Sets the caption and runs the view's initial update.
    void InitialUpdateFrame(CDocument* document);

    void SetActiveView(CView* view) { activeView_ = view; }
    CView* GetActiveView() const { return activeView_; }
    BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    // Handles command `id` as a WM_COMMAND from a menu, button or accelerator.
    void SendCommand(UINT id);
    // Refreshes the check and enable states of the toolbar buttons and of `menu`'s items.
    void UpdateToolbarState();
    void UpdateMenuState(QMenu* menu);
    // Shows the lock keys' states in the status bar, when it is shown.
    void UpdateLockIndicators();
    // The menu item or toolbar button of command `id`, or null.
    QAction* CommandAction(UINT id) const;
    QAction* EnsureCommandAction(UINT id);
    void RegisterControlBar(UINT id, QWidget* bar) { controlBars_[id] = bar; }
    QWidget* GetControlBar(UINT id) const;
    const CREATESTRUCT& CreateParameters() const { return createStruct_; }
    // Moves the outer rectangle of the frame, in screen coordinates.
    void MoveWindow(int x, int y, int width, int height);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Destroys the view (the frame window is going).
    virtual void OnDestroy();

private:
    void BuildMenu();
    void BuildAccelerators();
    void ToggleControlBar(UINT barId);
    void UpdateFrameTitle(CDocument* document);

    CREATESTRUCT createStruct_;
    CView* activeView_ = nullptr;
    std::map<UINT, QAction*> actions_;
    std::map<UINT, QWidget*> controlBars_;
    UINT resourceId_ = 0;
    CDocument* creatingDocument_ = nullptr;
    bool destroyed_ = false;
    std::optional<QRect> outerRequest_;
};
