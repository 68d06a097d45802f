#pragma once
// The frame's toolbar and status bar.

#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

#include <optional>
#include <vector>

#include "platform/os/WinTypes.h"
#include "platform/ui/LockKeys.h"

class CFrameWnd;

// Control-bar styles with the framework's values.
constexpr DWORD CBRS_ALIGN_TOP = 0x1000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x4000;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | 0x0800;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | 0x0200;
constexpr DWORD TBSTYLE_FLAT = 0x0800;

class CToolBar : public QToolBar {
public:
    CToolBar() = default;
    BOOL CreateEx(CFrameWnd* parent, DWORD controlStyle, DWORD style, UINT id);
    // Adds the buttons of toolbar resource `resourceId` with their pictures.
    BOOL LoadToolBar(UINT resourceId);

private:
    CFrameWnd* frame_ = nullptr;
};

class CStatusBar : public QStatusBar {
public:
    CStatusBar() = default;
    BOOL Create(CFrameWnd* parent, DWORD style, UINT id);
    // The message pane (ID_SEPARATOR) then indicator panes, in order.
    BOOL SetIndicators(const UINT* ids, int count);
    int PaneCount() const { return paneCount_; }
    // The text of pane `index` as shown while no prompt covers it.
    QString PaneText(int index) const;
    // The caps, num and scroll lock panes show their names while the key is on; all stay empty
    // when the states are unknown.
    void ShowLockKeys(const std::optional<LockKeyStates>& states);

private:
    struct Indicator {
        UINT id;
        QLabel* pane;
    };

    QLabel* idleMessage_ = nullptr;
    std::vector<Indicator> indicators_;
    int paneCount_ = 0;
};
