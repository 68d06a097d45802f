#pragma once
// Command routing: command handlers and the update handlers that set the check and enable state
// of the menu items and toolbar buttons showing a command.

#include <functional>
#include <unordered_map>

#include "platform/os/WinTypes.h"

// The user-interface element of one command, handed to its update handler.
class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE) {
        enabled = on != 0;
        m_bEnableChanged = TRUE;
    }
    virtual void SetCheck(int check = 1) { checked = check; }

    UINT m_nID;
    BOOL m_bEnableChanged = FALSE;
    bool enabled = true;
    int checked = -1; // -1: the handler said nothing
};

enum CommandCode : int {
    CN_COMMAND = 0,
    CN_UPDATE_COMMAND_UI = -1,
    CN_PROBE = -2, // asks only whether a command handler exists
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of `id` for `code`; TRUE when this target (or one it routes to) has one.
    virtual BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui);

protected:
    void OnCommand(UINT id, std::function<void()> handler) { commands_[id] = std::move(handler); }
    void OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> handler) { updates_[id] = std::move(handler); }

private:
    std::unordered_map<UINT, std::function<void()>> commands_;
    std::unordered_map<UINT, std::function<void(CCmdUI*)>> updates_;
};

// Sends the update of `id` through `target`. Commands that nobody handles are disabled.
void UpdateCommandUI(CCmdTarget& target, CCmdUI& ui);
