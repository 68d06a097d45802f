#include <QFocusEvent>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "AppFixture.h"
#include "resources/Resource.h"

namespace {

void SendWheel(QWidget* widget, int delta) {
    QWheelEvent wheel(QPointF(10, 10), QPointF(60, 60), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}

void SendKey(QWidget* widget, QEvent::Type type, int key, bool autoRepeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TEST_F(AppTest, KeysOneAndTwoToggleFillModeAndCamera) {
    Start();
    QTest::keyClick(View(), Qt::Key_1);
    EXPECT_EQ(theRenderSettings->wireframe, 1);
    QTest::keyClick(View(), Qt::Key_1);
    EXPECT_EQ(theRenderSettings->wireframe, 0);
    QTest::keyClick(View(), Qt::Key_2);
    EXPECT_EQ(theRenderSettings->activeCamera, 1);
    // Holding the key repeats the press, and each press toggles.
    SendKey(View(), QEvent::KeyPress, Qt::Key_2, false);
    SendKey(View(), QEvent::KeyPress, Qt::Key_2, true);
    EXPECT_EQ(theRenderSettings->activeCamera, 1);
    SendKey(View(), QEvent::KeyRelease, Qt::Key_2, false);
}

TEST_F(AppTest, HeldKeyMovesTheCameraEveryPicture) {
    Start();
    const Camera& eye = theRenderSettings->cameras[0];
    SendKey(View(), QEvent::KeyPress, Qt::Key_W, false);
    Pictures(10);
    // Auto-repeat sends releases and presses; the key stays held throughout.
    SendKey(View(), QEvent::KeyRelease, Qt::Key_W, true);
    SendKey(View(), QEvent::KeyPress, Qt::Key_W, true);
    EXPECT_NEAR(eye.z, -115.0f, 1e-3f);
    EXPECT_NEAR(eye.x, 0.0f, 1e-5f);
    SendKey(View(), QEvent::KeyRelease, Qt::Key_W, false);
    Pictures(2);
    EXPECT_NEAR(eye.z, -115.0f, 1e-3f);
}

TEST_F(AppTest, LosingTheFocusForgetsHeldKeys) {
    Start();
    SendKey(View(), QEvent::KeyPress, Qt::Key_W, false);
    EXPECT_EQ(theRenderSettings->keyDown['W'], 1);
    QFocusEvent lost(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(View(), &lost);
    EXPECT_EQ(theRenderSettings->keyDown['W'], 0);
}

TEST_F(AppTest, LeftDragTurnsTheModelInFiveDegreeSteps) {
    Start();
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(View(), QPoint(96, 100));
    EXPECT_FLOAT_EQ(theRenderSettings->modelAngle, 0.0f) << "4 pixels turn nothing";
    QTest::mouseMove(View(), QPoint(84, 100));
    EXPECT_NEAR(theRenderSettings->modelAngle, 2 * 0.08726647f, 1e-6f);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(84, 100));
    QTest::mouseMove(View(), QPoint(40, 100));
    EXPECT_NEAR(theRenderSettings->modelAngle, 2 * 0.08726647f, 1e-6f) << "the drag ended";
}

TEST_F(AppTest, RightDragTurnsTheActiveCamera) {
    Start();
    const Camera& eye = theRenderSettings->cameras[0];
    QTest::mousePress(View(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(View(), QPoint(150, 125));
    QTest::mouseRelease(View(), Qt::RightButton, Qt::NoModifier, QPoint(150, 125));
    EXPECT_NEAR(eye.yaw, 10.0f, 1e-4f);
    EXPECT_NEAR(eye.pitch, 5.0f, 1e-4f);
    EXPECT_NEAR(eye.yawSin, std::sin(10.0f * 0.017453292f), 1e-5f);
}

TEST_F(AppTest, MovesOutsideTheViewAreNotItsMessages) {
    Start();
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 100));
    QTest::mouseMove(View(), QPoint(-300, 100));
    EXPECT_FLOAT_EQ(theRenderSettings->modelAngle, 0.0f);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 100));
}

TEST_F(AppTest, WheelZoomsTheOrbitCameraOnly) {
    Start();
    Camera& orbit = theRenderSettings->cameras[1];
    orbit.distance = 100.0f;
    SendWheel(View(), -120);
    EXPECT_FLOAT_EQ(orbit.distance, 100.0f) << "camera 0 is active";
    theRenderSettings->activeCamera = 1;
    for (int i = 0; i < 3; ++i)
        SendWheel(View(), -120);
    EXPECT_FLOAT_EQ(orbit.distance, 50.0f);
    SendWheel(View(), 120);
    EXPECT_FLOAT_EQ(orbit.distance, 100.0f);
}

TEST_F(AppTest, ResizingTheViewResetsTheDeviceToTheNewSize) {
    Start();
    Frame()->resize(400, 300);
    QCoreApplication::processEvents();
    const QSize client = View()->size();
    EXPECT_LT(client.width(), 720);
    EXPECT_EQ(View()->View().presentParams.BackBufferWidth, UINT(client.width()));
    EXPECT_EQ(View()->View().presentParams.BackBufferHeight, UINT(client.height()));
    EXPECT_EQ(theRenderSettings->viewWidth, float(client.width()));
    Pictures(1);
    EXPECT_EQ(View()->CurrentPicture().size(), client);
}

TEST_F(AppTest, ButtonsFollowTheKeysAtTheNextIdlePass) {
    Start();
    Frame()->UpdateToolbarState();
    QTest::keyClick(View(), Qt::Key_1);
    QTest::keyClick(View(), Qt::Key_2);
    app->OnIdle(0);
    EXPECT_TRUE(Frame()->CommandAction(ID_FILL_WIREFRAME)->isChecked());
    EXPECT_FALSE(Frame()->CommandAction(ID_FILL_SOLID)->isChecked());
    EXPECT_TRUE(Frame()->CommandAction(ID_CAMERA_LOOKAT)->isChecked());
}
