#pragma once
// The update state of a command shown by a menu item or toolbar button (a QAction).

#include <QAction>

#include "platform/ui/CmdTarget.h"

class ActionCmdUI : public CCmdUI {
public:
    explicit ActionCmdUI(QAction* action) : CCmdUI(action->data().toUInt()), action_(action) {}

    void Enable(BOOL on = TRUE) override {
        CCmdUI::Enable(on);
        if (action_->isEnabled() != (on != 0))
            action_->setEnabled(on != 0);
    }
    void SetCheck(int check = 1) override {
        CCmdUI::SetCheck(check);
        if (!action_->isCheckable())
            action_->setCheckable(true);
        if (action_->isChecked() != (check != 0))
            action_->setChecked(check != 0);
    }

private:
    QAction* action_;
};

// The command id a QAction carries.
inline UINT CommandOf(const QAction* action) {
    return action->data().toUInt();
}
