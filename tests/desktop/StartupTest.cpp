#include <QDialog>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "resources/Resource.h"

TEST_F(AppTest, InitialUpdateMakesTheDeviceAndReadsSettingsBeforeAnythingIsLoaded) {
    WriteBytes(SettingsFile(), "[MD2Data]\nSpeed=12\n");
    ASSERT_TRUE(app->CreateMainWindow());
    CLumivoxViewWindow* view = View();
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view->View().device, nullptr);
    EXPECT_EQ(theRenderSettings->device, view->View().device);
    EXPECT_EQ(theScene->modelFile.speed, 12) << "the settings file was read at the initial update";
    EXPECT_FALSE(Frame()->isVisible());

    // Showing the frame sends the first size message, which loads the model; still no picture.
    theScene->model.reset();
    app->ShowMainWindow();
    ASSERT_NE(theScene->model, nullptr);
    EXPECT_GT(theScene->model->triangleCount, 0);
    EXPECT_EQ(view->PresentedPictures(), 0u);
    EXPECT_EQ(view->View().presentParams.BackBufferWidth, UINT(view->width()));
    EXPECT_EQ(view->View().presentParams.BackBufferHeight, UINT(view->height()));

    app->OnIdle(0);
    EXPECT_EQ(view->PresentedPictures(), 1u);
    EXPECT_EQ(view->CurrentPicture().size(), view->size());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AppTest, MainFrameHasItsCaptionPlaceAndSize) {
    Start();
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("xkq_QuorvelMD2Viewer - v1.0"));
    EXPECT_EQ(Frame()->frameGeometry(), QRect(50, 50, 720, 600));
    EXPECT_EQ(Frame()->centralWidget(), View());
}

TEST_F(AppTest, IdleLoopDrawsPicturesUntilAModalDialogOpens) {
    Start();
    app->Idle().Start();
    EXPECT_TRUE(QTest::qWaitFor([this] { return View()->PresentedPictures() > 2; }, 10000));

    QDialog dialog(Frame());
    std::uint64_t opened = 0, closing = 0;
    QTimer::singleShot(30, &dialog, [&] { opened = View()->PresentedPictures(); });
    QTimer::singleShot(200, &dialog, [&] {
        closing = View()->PresentedPictures();
        dialog.accept();
    });
    dialog.exec();
    EXPECT_EQ(closing, opened) << "no picture while the dialog is open";
    EXPECT_TRUE(QTest::qWaitFor([&] { return View()->PresentedPictures() > closing; }, 10000));
    app->Idle().Stop();
}

TEST_F(AppTest, IdlePassWithoutAViewDoesNothing) {
    EXPECT_EQ(app->OnIdle(0), TRUE);
    EXPECT_EQ(app->IdlePasses(), 0u);
}

TEST_F(AppTest, NewDocumentKeepsTheDeviceAndTheCaption) {
    Start();
    IDirect3DDevice9* device = View()->View().device;
    Frame()->SendCommand(ID_FILE_NEW);
    EXPECT_EQ(View()->View().device, device);
    EXPECT_EQ(theRenderSettings->device, device);
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("xkq_QuorvelMD2Viewer - v1.0"));
}

TEST_F(AppTest, OpenCommandRunsTheLoadDialog) {
    Start();
    int runs = 0;
    View()->loadDialog = [&runs](CLumivoxViewWindow::LoadOccasion occasion) {
        runs += occasion == CLumivoxViewWindow::LoadOccasion::Command ? 1 : 100;
    };
    Frame()->SendCommand(ID_FILE_OPEN);
    Frame()->SendCommand(ID_LOAD_MODEL);
    EXPECT_EQ(runs, 2);
    app->RunStartupLoad();
    EXPECT_EQ(runs, 102);
}

TEST_F(AppTest, ClosingWritesTheSettingsFileAndAsksToQuit) {
    Start();
    std::filesystem::remove(SettingsFile());
    QApplication::setActiveWindow(Frame());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    View()->setFocus();
    QTest::keyClick(View(), Qt::Key_Escape);
    EXPECT_EQ(View(), nullptr) << "the view went with the window";
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
    EXPECT_NE(ReadBytes(SettingsFile()).find("MD2file="), std::string::npos);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(theRenderSettings->device, nullptr);
    app->OnIdle(0);
    EXPECT_EQ(app->IdlePasses(), 0u);
}

TEST_F(AppTest, ProfileSettingsGoToAPerUserFile) {
    Start();
    app->ExitInstance();
    const QString path = app->ProfileFilePath();
    EXPECT_TRUE(path.contains(QStringLiteral("Local AppWizard-Generated Applications")));
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(AppTest, QuitRequestedDuringStartUpEndsWithoutRunningTheLoop) {
    Start();
    PostQuitMessage(3);
    EXPECT_EQ(app->Run(), 3);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(std::filesystem::exists(SettingsFile())) << "the view wrote the settings file as it went";
    EXPECT_EQ(app->IdlePasses(), 0u);
}
