#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

#include "platform/os/MessageBox.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/QtTranslations.h"

namespace {

// Installs the Qt boxes and answers every box that comes up, keeping its text.
class QtMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallQtMessageBox();
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                sizes << box->frameGeometry();
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
    QList<QRect> sizes;
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

TEST_F(QtMessageBoxTest, LongPathsWrapLikeWordsAndTheBoxStaysOnScreen) {
    const std::string path = "/home/user/" + std::string(300, 'a') + "/model.md2";
    const std::string words = [] {
        std::string text;
        while (text.size() < 320)
            text += "word ";
        return text;
    }();
    MessageBoxA(nullptr, ("not used:\n" + path).c_str(), "Path_error", MB_OK);
    MessageBoxA(nullptr, ("not used:\n" + words).c_str(), "Path_error", MB_OK);
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_LE(sizes[0].width(), sizes[1].width()) << "no wider than a box of as many short words";
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(sizes[0]));
    QString seen = shown[0];
    seen.remove(QChar(0x200B));
    EXPECT_EQ(seen, QString::fromStdString("not used:\n" + path)) << "every character is still there";
    EXPECT_EQ(shown[1], QString::fromStdString("not used:\n" + words)) << "short words are left alone";
}

TEST(QtTranslations, QtsOwnButtonsAndDialogsSpeakKorean) {
    QTranslator* korean = InstallKoreanQtTranslations();
    ASSERT_NE(korean, nullptr) << "Qt's Korean translations are not installed";
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("text"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("확인"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("취소"));
    EXPECT_EQ(QCoreApplication::translate("QColorDialog", "Select Color"), QStringLiteral("색 선택"));
    QCoreApplication::removeTranslator(korean);
    delete korean;
}

} // namespace
