#include <QImage>
#include <QMenu>
#include <QTest>

#include "AppFixture.h"
#include "resources/Resource.h"

namespace {

class SmoothMotionAndPictureTest : public AppTest {
protected:
    void TearDown() override {
        // The profile lives as long as the test program: the next test starts stepped again.
        app->WriteProfileInt(PROFILE_SETTINGS_SECTION, PROFILE_SMOOTH_MOTION, 0);
        theRenderSettings->interpolate = 0;
        AppTest::TearDown();
    }
    QAction* SmoothMotion() const { return Frame()->CommandAction(ID_VIEW_SMOOTH_MOTION); }
};

TEST_F(SmoothMotionAndPictureTest, TheViewMenuItemAndItsShortcutToggleSmoothMotion) {
    Start();
    ASSERT_NE(SmoothMotion(), nullptr);
    EXPECT_EQ(SmoothMotion()->text(), QStringLiteral("부드러운 움직임(&I)\tCtrl+I"));
    EXPECT_EQ(theRenderSettings->interpolate, 0);

    Frame()->SendCommand(ID_VIEW_SMOOTH_MOTION);
    EXPECT_EQ(theRenderSettings->interpolate, 1);
    Frame()->UpdateMenuState(qobject_cast<QMenu*>(SmoothMotion()->associatedObjects().value(0)));
    EXPECT_TRUE(SmoothMotion()->isChecked());

    QApplication::setActiveWindow(Frame());
    QTest::keyClick(View(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(theRenderSettings->interpolate, 0);
    // The shortcut reaches no key table: nothing is left held.
    EXPECT_EQ(theRenderSettings->keyDown['I'], 0);
}

TEST_F(SmoothMotionAndPictureTest, TheChoiceIsKeptInTheProfileForTheNextStart) {
    Start();
    Frame()->SendCommand(ID_VIEW_SMOOTH_MOTION);
    EXPECT_EQ(app->GetProfileInt(PROFILE_SETTINGS_SECTION, PROFILE_SMOOTH_MOTION, 7), 1u);

    app.reset();
    theRenderSettings->interpolate = 0;
    app = std::make_unique<CLumivoxApp>();
    Start();
    EXPECT_EQ(theRenderSettings->interpolate, 1);
}

TEST_F(SmoothMotionAndPictureTest, SavePictureWritesTheShownPictureAsPng) {
    Start();
    Pictures(3);
    const std::string path = folder.File("shot.png");
    View()->choosePicturePath = [&path] { return QString::fromStdString(path); };
    Frame()->SendCommand(ID_SAVE_PICTURE);
    const QImage saved(QString::fromStdString(path));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), View()->CurrentPicture().size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), View()->CurrentPicture());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SmoothMotionAndPictureTest, SavePictureCancelledOrUnwritableLeavesNoFile) {
    Start();
    Pictures(1);
    View()->choosePicturePath = [] { return QString(); };
    Frame()->SendCommand(ID_SAVE_PICTURE);
    EXPECT_TRUE(boxes.shown.empty());

    const std::string path = folder.File("no-such-folder/shot.png");
    View()->choosePicturePath = [&path] { return QString::fromStdString(path); };
    Frame()->SendCommand(ID_SAVE_PICTURE);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Picture_error");
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
