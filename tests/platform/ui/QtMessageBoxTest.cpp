#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/os/MessageBox.h"
#include "platform/ui/QtMessageBox.h"

namespace {

// Installs the Qt boxes and answers every box that comes up, keeping its text.
class QtMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallQtMessageBox();
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                (yes ? yes : box->button(QMessageBox::Ok))->click();
            }
        });
        answerer.start(5);
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        SetQuitHandler({});
        ClearQuitRequest();
    }

    QTimer answerer;
    QStringList shown;
};

TEST_F(QtMessageBoxTest, InsideADeferralOkBoxesAndTheQuitRequestWaitForTheEventLoop) {
    {
        const MessageBoxDeferral duringAnEvent;
        EXPECT_EQ(MessageBoxA(nullptr, "first", "Error", MB_OK), IDOK);
        MessageBoxA(nullptr, "second", "Error", MB_OK);
        MessageBoxA(nullptr, "first", "Error", MB_OK); // already waiting
        PostQuitMessage(4);
        EXPECT_TRUE(QuitRequested());
    }
    EXPECT_TRUE(shown.isEmpty()) << "nothing is shown before the event loop runs";
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    giveUp.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 4) << "the quit request ends the loop after the boxes";
    EXPECT_EQ(shown, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
}

TEST_F(QtMessageBoxTest, BoxesThatAskAQuestionAreNeverHeldBack) {
    const MessageBoxDeferral duringAnEvent;
    EXPECT_EQ(MessageBoxA(nullptr, "go on?", "Question", MB_YESNO), IDYES);
    EXPECT_EQ(shown, QStringList{QStringLiteral("go on?")});
}

TEST_F(QtMessageBoxTest, WaitingBoxesAreShownBeforeTheProgramWouldStartItsLoop) {
    {
        const MessageBoxDeferral duringStartUp;
        MessageBoxA(nullptr, "Reset() - Failed", "Error", MB_OK);
    }
    ShowDeferredMessageBoxes();
    EXPECT_EQ(shown, QStringList{QStringLiteral("Reset() - Failed")});
    QCoreApplication::processEvents(); // the scheduled showing finds nothing left
    EXPECT_EQ(shown.size(), 1);
}

} // namespace
