#include <QAction>
#include <gtest/gtest.h>

#include "platform/ui/ActionCmdUI.h"
#include "platform/ui/Document.h"

namespace {

class Target : public CView {
public:
    Target() {
        OnCommand(1, [this] { ++ran; });
        OnCommand(2, [this] { ++ran; });
        OnUpdateCommand(2, [this](CCmdUI* ui) {
            ui->Enable(enableTwo);
            ui->SetCheck(checkTwo);
        });
    }
    int ran = 0;
    BOOL enableTwo = TRUE;
    int checkTwo = 1;
};

class Doc : public CDocument {
public:
    Doc() {
        OnCommand(3, [this] { ++ran; });
    }
    int ran = 0;
};

} // namespace

TEST(CommandRouting, CommandsRunInTheFirstTargetThatHandlesThem) {
    Target view;
    Doc doc;
    view.SetDocument(&doc);
    EXPECT_TRUE(view.OnCmdMsg(1, CN_COMMAND, nullptr));
    EXPECT_TRUE(view.OnCmdMsg(3, CN_COMMAND, nullptr));
    EXPECT_FALSE(view.OnCmdMsg(4, CN_COMMAND, nullptr));
    EXPECT_EQ(view.ran, 1);
    EXPECT_EQ(doc.ran, 1);
    EXPECT_TRUE(view.OnCmdMsg(1, CN_PROBE, nullptr));
    EXPECT_EQ(view.ran, 1) << "a probe runs nothing";
}

TEST(CommandRouting, UpdateHandlersSetTheItemsAndUnhandledCommandsAreGreyed) {
    Target view;
    QAction handled, updated, unhandled;
    handled.setData(1u);
    updated.setData(2u);
    unhandled.setData(4u);

    ActionCmdUI first(&handled);
    UpdateCommandUI(view, first);
    EXPECT_TRUE(handled.isEnabled());

    view.enableTwo = FALSE;
    ActionCmdUI second(&updated);
    UpdateCommandUI(view, second);
    EXPECT_FALSE(updated.isEnabled());
    EXPECT_TRUE(updated.isChecked());

    view.checkTwo = 0;
    ActionCmdUI again(&updated);
    UpdateCommandUI(view, again);
    EXPECT_FALSE(updated.isChecked());

    ActionCmdUI third(&unhandled);
    UpdateCommandUI(view, third);
    EXPECT_FALSE(unhandled.isEnabled());
}
