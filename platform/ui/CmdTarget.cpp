#include "platform/ui/CmdTarget.h"

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    if (code == CN_UPDATE_COMMAND_UI) {
        const auto update = updates_.find(id);
        if (update == updates_.end())
            return FALSE;
        update->second(ui);
        return TRUE;
    }
    const auto command = commands_.find(id);
    if (command == commands_.end())
        return FALSE;
    if (code == CN_COMMAND)
        command->second();
    return TRUE;
}

void UpdateCommandUI(CCmdTarget& target, CCmdUI& ui) {
    if (target.OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui))
        return;
    ui.Enable(target.OnCmdMsg(ui.m_nID, CN_PROBE, nullptr));
}
