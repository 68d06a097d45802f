// The main window resized, maximised and stripped of its bars between pictures, also under a modal
// dialog; and the way out when a reset fails all the same.

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "AppFixture.h"
#include "platform/ui/QtMessageBox.h"
#include "resources/Resource.h"

namespace {

// The device's back buffer and the last picture have the view's size (one pixel at least).
void ExpectPictureFitsTheView(CLumivoxViewWindow* view) {
    const QSize client = view->size();
    const QSize back(std::max(client.width(), 1), std::max(client.height(), 1));
    EXPECT_EQ(view->View().presentParams.BackBufferWidth, UINT(back.width())) << client.width();
    EXPECT_EQ(view->View().presentParams.BackBufferHeight, UINT(back.height())) << client.height();
    EXPECT_EQ(view->CurrentPicture().size(), back);
}

} // namespace

TEST_F(AppTest, ResizingMaximisingAndHidingBarsBetweenPicturesNeverFails) {
    Start();
    Pictures(2);
    for (const QSize size : {QSize(300, 200), QSize(3840, 2100), QSize(900, 700), QSize(120, 90),
                             QSize(1600, 1000), QSize(720, 600)}) {
        Frame()->resize(size);
        QCoreApplication::processEvents();
        Pictures(2);
        ExpectPictureFitsTheView(View());
    }
    // Each bar shown or hidden changes the view's height.
    for (int round = 0; round < 2; ++round) {
        for (const UINT bar : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
            const QSize before = View()->size();
            Frame()->SendCommand(bar);
            QCoreApplication::processEvents();
            EXPECT_NE(View()->size(), before);
            Pictures(1);
            ExpectPictureFitsTheView(View());
        }
    }
    Frame()->showMaximized();
    QCoreApplication::processEvents();
    Pictures(1);
    ExpectPictureFitsTheView(View());
    Frame()->showNormal();
    QCoreApplication::processEvents();
    Pictures(1);
    ExpectPictureFitsTheView(View());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(quitRequests, 0);
    EXPECT_GT(theScene->model->triangleCount, 0);
}

TEST_F(AppTest, ResizingUnderAModalDialogResetsTheDeviceAtOnce) {
    Start();
    Pictures(2);
    QDialog dialog(Frame());
    QSize during;
    QTimer::singleShot(0, &dialog, [&] {
        Frame()->resize(1000, 760);
        QCoreApplication::processEvents();
        during = View()->size();
        dialog.accept();
    });
    dialog.exec();
    EXPECT_EQ(View()->View().presentParams.BackBufferWidth, UINT(during.width()));
    EXPECT_EQ(View()->View().presentParams.BackBufferHeight, UINT(during.height()));
    Pictures(1);
    ExpectPictureFitsTheView(View());
    EXPECT_TRUE(boxes.shown.empty());
}

// The platform refuses to reset while the program holds a default-pool texture. The box comes once,
// after the resize is over, and the program then leaves the normal way, writing its settings.
TEST_F(AppTest, AFailedResetIsReportedOnceThenTheProgramEndsNormally) {
    Start();
    Pictures(2);
    InstallQtMessageBox();
    IDirect3DTexture9* held = nullptr;
    ASSERT_EQ(View()->View().device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                                   D3DPOOL_DEFAULT, &held, nullptr),
              D3D_OK);
    theScene->modelFile.speed = 17;
    std::filesystem::remove(SettingsFile());

    bool resized = false;
    QStringList shown;
    std::vector<bool> shownAfterTheResize;
    QTimer resizer;
    resizer.setSingleShot(true);
    QObject::connect(&resizer, &QTimer::timeout, [&] {
        Frame()->resize(900, 700);
        Frame()->resize(1000, 760);
        resized = true;
    });
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->windowTitle() + QStringLiteral(": ") + box->text();
            shownAfterTheResize.push_back(resized);
            box->button(QMessageBox::Ok)->click();
        }
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { PostQuitMessage(99); });
    resizer.start(20);
    watcher.start();
    giveUp.start(30000);

    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Error: Reset() - Failed")});
    EXPECT_EQ(shownAfterTheResize, std::vector<bool>{true});
    EXPECT_EQ(app->m_pMainWnd, nullptr) << "the windows went";
    EXPECT_EQ(theRenderSettings->device, nullptr) << "the view released the device";
    EXPECT_NE(ReadBytes(SettingsFile()).find("Speed=17"), std::string::npos);
    held->Release();
}
