#include "platform/ui/FrameWnd.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QShowEvent>
#include <algorithm>

#include "platform/os/MessageBox.h"
#include "platform/ui/ActionCmdUI.h"
#include "platform/ui/ControlBars.h"
#include "platform/ui/Document.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/LockKeys.h"
#include "platform/ui/OuterGeometry.h"
#include "platform/ui/ResourceTables.h"
#include "platform/ui/StringResources.h"
#include "platform/ui/ToolbarImages.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/WindowMessageTranslator.h"
#include "platform/ui/WindowStyles.h"

namespace {

constexpr int kDefaultPosition = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

QKeySequence SequenceOf(const Accelerator& accelerator) {
    int combination = QtKeyFromVirtualKey(accelerator.virtualKey);
    if (accelerator.modifiers & ACCEL_SHIFT)
        combination |= Qt::SHIFT;
    if (accelerator.modifiers & ACCEL_CONTROL)
        combination |= Qt::CTRL;
    if (accelerator.modifiers & ACCEL_ALT)
        combination |= Qt::ALT;
    return QKeySequence(combination);
}

} // namespace

CFrameWnd::CFrameWnd() {
    OnCommand(ID_VIEW_TOOLBAR, [this] { ToggleControlBar(AFX_IDW_TOOLBAR); });
    OnUpdateCommand(ID_VIEW_TOOLBAR, [this](CCmdUI* ui) {
        QWidget* bar = GetControlBar(AFX_IDW_TOOLBAR);
        ui->Enable(bar != nullptr);
        ui->SetCheck(bar && bar->isVisibleTo(this));
    });
    OnCommand(ID_VIEW_STATUS_BAR, [this] { ToggleControlBar(AFX_IDW_STATUS_BAR); });
    OnUpdateCommand(ID_VIEW_STATUS_BAR, [this](CCmdUI* ui) {
        QWidget* bar = GetControlBar(AFX_IDW_STATUS_BAR);
        ui->Enable(bar != nullptr);
        ui->SetCheck(bar && bar->isVisibleTo(this));
    });
}

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.x = kDefaultPosition;
    cs.y = kDefaultPosition;
    cs.cx = kDefaultWidth;
    cs.cy = kDefaultHeight;
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    cs.dwExStyle = WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, CDocument* document) {
    resourceId_ = resourceId;
    if (!PreCreateWindow(createStruct_))
        return FALSE;
    setWindowIcon(ApplicationIcon());
    MoveWindow(createStruct_.x, createStruct_.y, createStruct_.cx, createStruct_.cy);
    BuildMenu();
    BuildAccelerators();
    creatingDocument_ = document;
    const int created = OnCreate();
    creatingDocument_ = nullptr;
    return created == -1 ? FALSE : TRUE;
}

int CFrameWnd::OnCreate() {
    return OnCreateClient(creatingDocument_) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(CDocument*) {
    return TRUE;
}

void CFrameWnd::InitialUpdateFrame(CDocument* document) {
    UpdateFrameTitle(document);
    if (activeView_)
        activeView_->OnInitialUpdate();
}

void CFrameWnd::UpdateFrameTitle(CDocument* document) {
    const QString title = DocumentStringField(resourceId_, 0);
    if ((createStruct_.style & FWS_ADDTOTITLE) && document)
        setWindowTitle(title + QStringLiteral(" - ") + document->GetTitle());
    else
        setWindowTitle(title);
}

void CFrameWnd::MoveWindow(int x, int y, int width, int height) {
    outerRequest_ = QRect(x, y, width, height);
    ApplyOuterGeometry(this, *outerRequest_);
}

void CFrameWnd::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The frame is known now: place the outer rectangle again.
    if (outerRequest_ && frameGeometry() != *outerRequest_)
        ApplyOuterGeometry(this, *outerRequest_);
}

QAction* CFrameWnd::CommandAction(UINT id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

QAction* CFrameWnd::EnsureCommandAction(UINT id) {
    if (QAction* existing = CommandAction(id))
        return existing;
    auto* action = new QAction(this);
    action->setData(id);
    action->setStatusTip(CommandPrompt(id));
    action->setToolTip(CommandTooltip(id));
    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    actions_[id] = action;
    return action;
}

void CFrameWnd::BuildMenu() {
    const FrameResources* resources = FindFrameResources(resourceId_);
    if (!resources)
        return;
    for (const MenuDefinition& definition : resources->menu) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(definition.title));
        for (int i = 0; i < definition.entryCount; ++i) {
            const MenuEntry& entry = definition.entries[i];
            if (!entry.text) {
                menu->addSeparator();
                continue;
            }
            QAction* action = EnsureCommandAction(entry.command);
            action->setText(QString::fromUtf8(entry.text));
            menu->addAction(action);
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuState(menu); });
    }
}

void CFrameWnd::BuildAccelerators() {
    const FrameResources* resources = FindFrameResources(resourceId_);
    if (!resources)
        return;
    for (const Accelerator& accelerator : resources->accelerators) {
        auto* shortcut = new QShortcut(SequenceOf(accelerator), this);
        shortcut->setContext(Qt::WindowShortcut);
        const UINT command = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] { SendCommand(command); });
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    if (activeView_ && activeView_->OnCmdMsg(id, code, ui))
        return TRUE;
    if (CCmdTarget::OnCmdMsg(id, code, ui))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(id, code, ui) : FALSE;
}

void CFrameWnd::SendCommand(UINT id) {
    // A command whose item is greyed does nothing, as a disabled menu item sends nothing.
    if (QAction* action = CommandAction(id)) {
        ActionCmdUI ui(action);
        UpdateCommandUI(*this, ui);
        if (!ui.enabled)
            return;
    }
    OnCmdMsg(id, CN_COMMAND, nullptr);
    if (!destroyed_)
        UpdateToolbarState();
}

void CFrameWnd::UpdateToolbarState() {
    const auto* toolbar = GetControlBar(AFX_IDW_TOOLBAR);
    if (!toolbar)
        return;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator())
            continue;
        ActionCmdUI ui(action);
        UpdateCommandUI(*this, ui);
    }
}

void CFrameWnd::UpdateMenuState(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        ActionCmdUI ui(action);
        UpdateCommandUI(*this, ui);
    }
}

void CFrameWnd::UpdateLockIndicators() {
    auto* bar = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR));
    if (bar && bar->isVisible())
        bar->ShowLockKeys(ReadLockKeys());
}

QWidget* CFrameWnd::GetControlBar(UINT id) const {
    const auto found = controlBars_.find(id);
    return found == controlBars_.end() ? nullptr : found->second;
}

void CFrameWnd::ToggleControlBar(UINT barId) {
    if (QWidget* bar = GetControlBar(barId))
        bar->setVisible(!bar->isVisibleTo(this));
}

void CFrameWnd::closeEvent(QCloseEvent* event) {
    event->accept();
    if (destroyed_)
        return;
    destroyed_ = true;
    OnDestroy();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        PostQuitMessage(0);
}

void CFrameWnd::OnDestroy() {
    activeView_ = nullptr;
    delete takeCentralWidget();
}
