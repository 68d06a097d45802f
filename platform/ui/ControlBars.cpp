#include "platform/ui/ControlBars.h"

#include <QFontMetrics>

#include "platform/ui/FrameWnd.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/ResourceTables.h"
#include "platform/ui/StringResources.h"
#include "platform/ui/ToolbarImages.h"

BOOL CToolBar::CreateEx(CFrameWnd* parent, DWORD, DWORD style, UINT id) {
    if (!parent)
        return FALSE;
    frame_ = parent;
    setParent(parent);
    setObjectName(QStringLiteral("toolbar"));
    // Docking is not enabled: the bar stays at the top of the frame.
    setMovable(false);
    setFloatable(false);
    const ToolbarStrip& strip = InstalledResources().toolbar;
    setIconSize(QSize(strip.width, strip.height));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    parent->addToolBar((style & CBRS_ALIGN_BOTTOM) ? Qt::BottomToolBarArea : Qt::TopToolBarArea, this);
    parent->RegisterControlBar(id, this);
    setVisible((style & 0x10000000) != 0);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId) {
    const FrameResources* resources = FindFrameResources(resourceId);
    if (!frame_ || !resources)
        return FALSE;
    int picture = 0;
    for (const UINT command : resources->toolbarButtons) {
        if (command == ID_SEPARATOR) {
            addSeparator();
            continue;
        }
        QAction* action = frame_->EnsureCommandAction(command);
        action->setIcon(ToolbarIcon(picture++));
        action->setIconVisibleInMenu(false);
        addAction(action);
    }
    return TRUE;
}

BOOL CStatusBar::Create(CFrameWnd* parent, DWORD style, UINT id) {
    if (!parent)
        return FALSE;
    setParent(parent);
    setSizeGripEnabled(true);
    parent->setStatusBar(this);
    parent->RegisterControlBar(id, this);
    setVisible((style & 0x10000000) != 0);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    for (int i = 0; i < count; ++i) {
        if (ids[i] == ID_SEPARATOR) {
            idleMessage_ = new QLabel(LoadResourceString(AFX_IDS_IDLEMESSAGE), this);
            addWidget(idleMessage_, 1);
        } else {
            // Empty until the key is known to be on; the pane keeps the room its text needs.
            auto* pane = new QLabel(this);
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            pane->setAlignment(Qt::AlignCenter);
            pane->setMinimumWidth(fontMetrics().horizontalAdvance(LoadResourceString(ids[i])) + 8);
            indicators_.push_back({ids[i], pane});
            addPermanentWidget(pane);
        }
    }
    paneCount_ = count;
    return TRUE;
}

QString CStatusBar::PaneText(int index) const {
    if (index == 0)
        return idleMessage_ ? idleMessage_->text() : QString();
    const std::size_t at = static_cast<std::size_t>(index - 1);
    return at < indicators_.size() ? indicators_[at].pane->text() : QString();
}

namespace {

bool IsOn(const LockKeyStates& states, UINT id) {
    switch (id) {
    case ID_INDICATOR_CAPS:
        return states.capsLock;
    case ID_INDICATOR_NUM:
        return states.numLock;
    case ID_INDICATOR_SCRL:
        return states.scrollLock;
    default:
        return false;
    }
}

} // namespace

void CStatusBar::ShowLockKeys(const std::optional<LockKeyStates>& states) {
    for (const Indicator& indicator : indicators_) {
        const QString text =
            states && IsOn(*states, indicator.id) ? LoadResourceString(indicator.id) : QString();
        if (indicator.pane->text() != text)
            indicator.pane->setText(text);
    }
}
