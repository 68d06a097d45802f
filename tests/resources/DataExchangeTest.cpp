#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/os/MessageBoxRecorder.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "resources/Resource.h"

namespace {

// A dialog with three colour edits checked to 0..255, a free number and a check box.
class ColourDialog : public CDialog {
public:
    ColourDialog() : CDialog(IDD_PROPPAGE_COLORS) {
        OnControl(IDC_BACK_RED, EN_CHANGE, [this] { ++changes; });
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_BACK_RED, red);
        DDV_MinMaxInt(dx, red, 0, 255);
        DDX_Text(dx, IDC_BACK_GREEN, green);
        DDV_MinMaxInt(dx, green, 0, 255);
        DDX_Text(dx, IDC_FONT_HEIGHT, height);
        DDX_Check(dx, IDC_DISPLAY_TEXT, showText);
    }
    QLineEdit* Edit(int id) { return DlgItem<QLineEdit>(id); }

    int red = 125;
    int green = 167;
    int height = 16;
    int showText = 1;
    int changes = 0;
};

} // namespace

TEST(DialogInteger, ReadsTheFrameworksDecimalForm) {
    int value = 0;
    EXPECT_TRUE(ParseDialogInteger(" 42 ", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(ParseDialogInteger("-7", value));
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(ParseDialogInteger("07", value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(ParseDialogInteger("-2147483648", value));
    EXPECT_EQ(value, INT_MIN);
    for (const char* bad : {"", " ", "+", "-", "1a", "1.5", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(ParseDialogInteger(QString::fromLatin1(bad), value)) << bad;
}

TEST(DataExchange, MembersGoToControlsAndBack) {
    ColourDialog dialog;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.Edit(IDC_BACK_RED)->text(), QStringLiteral("125"));
    EXPECT_TRUE(dialog.DlgItem<QCheckBox>(IDC_DISPLAY_TEXT)->isChecked());

    dialog.Edit(IDC_BACK_RED)->setText(QStringLiteral("0"));
    dialog.DlgItem<QCheckBox>(IDC_DISPLAY_TEXT)->setChecked(false);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.red, 0);
    EXPECT_EQ(dialog.showText, 0);
}

TEST(DataExchange, OutOfRangeValueIsRefusedWithTheRangeMessage) {
    MessageBoxRecorder boxes;
    ColourDialog dialog;
    dialog.UpdateData(FALSE);
    dialog.Edit(IDC_BACK_GREEN)->setText(QStringLiteral("300"));
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "0에서 255 사이의 정수를 입력하십시오.");
    EXPECT_EQ(dialog.green, 300) << "the member is read before the range check, as the framework does";
    EXPECT_EQ(dialog.height, 16) << "exchange stops at the refused value";
}

TEST(DataExchange, TextThatIsNoIntegerIsRefusedWithTheIntegerMessage) {
    MessageBoxRecorder boxes;
    ColourDialog dialog;
    dialog.UpdateData(FALSE);
    dialog.Edit(IDC_BACK_RED)->setText(QString());
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "정수를 입력하십시오.");
    EXPECT_EQ(dialog.red, 125);
}

TEST(DataExchange, RefusedEditGetsTheFocus) {
    MessageBoxRecorder boxes;
    ColourDialog dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.UpdateData(FALSE);
    dialog.Edit(IDC_BACK_GREEN)->setText(QStringLiteral("abc"));
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Edit(IDC_BACK_GREEN));
    EXPECT_EQ(dialog.Edit(IDC_BACK_GREEN)->selectedText(), QStringLiteral("abc"));
}

TEST(DataExchange, OwnWritesDoNotReachTheHandlers) {
    ColourDialog dialog;
    dialog.red = 9;
    dialog.UpdateData(FALSE);
    EXPECT_EQ(dialog.changes, 0);
    QTest::keyClick(dialog.Edit(IDC_BACK_RED), Qt::Key_1);
    EXPECT_EQ(dialog.changes, 1) << "the user's typing is a text change";
}

TEST(DataExchange, EditAlreadyShowingTheValueIsNotRewritten) {
    ColourDialog dialog;
    dialog.UpdateData(FALSE);
    QLineEdit* edit = dialog.Edit(IDC_BACK_RED);
    edit->setCursorPosition(1);
    QSignalSpy rewrites(edit, &QLineEdit::textChanged);
    dialog.UpdateData(FALSE);
    EXPECT_EQ(rewrites.count(), 0);
    EXPECT_EQ(edit->cursorPosition(), 1);

    // "07" reads as 7 and is written back as 7.
    edit->setText(QStringLiteral("07"));
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    dialog.UpdateData(FALSE);
    EXPECT_EQ(edit->text(), QStringLiteral("7"));
}
