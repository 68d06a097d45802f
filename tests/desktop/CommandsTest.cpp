#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "panel/MyPropertySheet.h"
#include "platform/ui/ActionCmdUI.h"
#include "platform/ui/LockKeys.h"
#include "resources/Resource.h"

namespace {

bool Checked(CMainFrame* frame, UINT id) {
    QAction* action = frame->CommandAction(id);
    return action && action->isChecked();
}

bool Enabled(CMainFrame* frame, UINT id) {
    QAction* action = frame->CommandAction(id);
    return action && action->isEnabled();
}

// What opening each menu does to its items.
void OpenMenus(CMainFrame* frame) {
    for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>())
        frame->UpdateMenuState(menu);
}

DWORD FillMode() {
    DWORD mode = 0;
    theRenderSettings->device->GetRenderState(D3DRS_FILLMODE, &mode);
    return mode;
}

} // namespace

TEST_F(AppTest, SolidAndWireframeButtonsActAsAPair) {
    Start();
    Frame()->UpdateToolbarState();
    EXPECT_TRUE(Checked(Frame(), ID_FILL_SOLID));
    EXPECT_FALSE(Checked(Frame(), ID_FILL_WIREFRAME));

    Frame()->SendCommand(ID_FILL_WIREFRAME);
    EXPECT_EQ(theRenderSettings->wireframe, 1);
    EXPECT_EQ(FillMode(), DWORD(D3DFILL_WIREFRAME));
    EXPECT_TRUE(Checked(Frame(), ID_FILL_WIREFRAME));
    EXPECT_FALSE(Checked(Frame(), ID_FILL_SOLID));

    // Pressing the pressed button changes nothing, not even the device's state.
    theRenderSettings->device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    Frame()->SendCommand(ID_FILL_WIREFRAME);
    EXPECT_EQ(FillMode(), DWORD(D3DFILL_POINT));
    EXPECT_TRUE(Checked(Frame(), ID_FILL_WIREFRAME));

    Frame()->SendCommand(ID_FILL_SOLID);
    EXPECT_EQ(theRenderSettings->wireframe, 0);
    EXPECT_EQ(FillMode(), DWORD(D3DFILL_SOLID));
    EXPECT_TRUE(Checked(Frame(), ID_FILL_SOLID));
    EXPECT_FALSE(Checked(Frame(), ID_FILL_WIREFRAME));
}

TEST_F(AppTest, CameraButtonsActAsAPairAndResetKeepsTheActiveCamera) {
    Start();
    Frame()->SendCommand(ID_CAMERA_LOOKAT);
    EXPECT_EQ(theRenderSettings->activeCamera, 1);
    EXPECT_TRUE(Checked(Frame(), ID_CAMERA_LOOKAT));
    EXPECT_FALSE(Checked(Frame(), ID_CAMERA_VIEW));
    Frame()->SendCommand(ID_CAMERA_LOOKAT);
    EXPECT_EQ(theRenderSettings->activeCamera, 1);

    Camera& orbit = theRenderSettings->cameras[1];
    orbit.yaw = 100.0f;
    orbit.pitch = 5.0f;
    orbit.distance = 90.0f;
    Frame()->SendCommand(ID_CAMERA_RESET);
    EXPECT_EQ(theRenderSettings->activeCamera, 1);
    EXPECT_FLOAT_EQ(orbit.yaw, 45.0f);
    EXPECT_FLOAT_EQ(orbit.pitch, 210.0f);
    EXPECT_FLOAT_EQ(orbit.distance, 200.0f);

    Frame()->SendCommand(ID_CAMERA_VIEW);
    EXPECT_EQ(theRenderSettings->activeCamera, 0);
    EXPECT_TRUE(Checked(Frame(), ID_CAMERA_VIEW));
    EXPECT_FALSE(Checked(Frame(), ID_CAMERA_LOOKAT));
}

TEST_F(AppTest, LightAndNormalsToggleWithTheirButtonsAndThePanelFollows) {
    Start();
    Frame()->SendCommand(ID_LIGHTING);
    EXPECT_EQ(theRenderSettings->lighting, 0);
    EXPECT_FALSE(Checked(Frame(), ID_LIGHTING));
    Frame()->SendCommand(ID_LIGHTING);
    EXPECT_EQ(theRenderSettings->lighting, 1);
    EXPECT_TRUE(Checked(Frame(), ID_LIGHTING));

    auto* box = Frame()->controlSheet->page3.DlgItem<QCheckBox>(IDC_DISPLAY_NORMALS);
    ASSERT_NE(box, nullptr);
    Frame()->SendCommand(ID_SHOW_NORMALS);
    EXPECT_EQ(theRenderSettings->showNormals, 1);
    EXPECT_TRUE(Checked(Frame(), ID_SHOW_NORMALS));
    EXPECT_TRUE(box->isChecked());
    Frame()->SendCommand(ID_SHOW_NORMALS);
    EXPECT_EQ(theRenderSettings->showNormals, 0);
    EXPECT_FALSE(box->isChecked());
}

TEST_F(AppTest, CommandsWithoutHandlersAreGreyed) {
    Start();
    Frame()->UpdateToolbarState();
    for (const UINT id : {ID_OPEN_ANIMATION, ID_OPEN_MESH, ID_UNUSED_TOOL})
        EXPECT_FALSE(Enabled(Frame(), id)) << id;
    for (const UINT id :
         {ID_LOAD_MODEL, ID_FILL_SOLID, ID_CAMERA_RESET, ID_SHOW_NORMALS, ID_LIGHTING, ID_APP_ABOUT})
        EXPECT_TRUE(Enabled(Frame(), id)) << id;
    OpenMenus(Frame());
    EXPECT_FALSE(Enabled(Frame(), ID_MAP_INFO));
    EXPECT_FALSE(Enabled(Frame(), ID_RUN_CONVERTER));
    EXPECT_TRUE(Enabled(Frame(), ID_APP_EXIT));
    EXPECT_TRUE(Checked(Frame(), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(Checked(Frame(), ID_VIEW_STATUS_BAR));
}

TEST_F(AppTest, ToolbarAndStatusBarCanBeHiddenFromTheMenu) {
    Start();
    Frame()->SendCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame()->ToolBar()->isVisible());
    // The menu's check marks are refreshed as the menu opens.
    OpenMenus(Frame());
    EXPECT_FALSE(Checked(Frame(), ID_VIEW_TOOLBAR));
    Frame()->SendCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Frame()->StatusBar()->isVisible());
    Frame()->SendCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
}

TEST_F(AppTest, MenuToolbarAndStatusBarFollowTheResources) {
    Start();
    QStringList titles;
    for (QAction* action : Frame()->menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Run", "&View", "&Help"}));
    EXPECT_EQ(Frame()->CommandAction(ID_APP_EXIT)->text(), QStringLiteral("종료(&X)"));
    EXPECT_EQ(Frame()->CommandAction(ID_MAP_INFO)->text(), QStringLiteral("맵정보(&M)"));

    std::vector<UINT> buttons;
    for (QAction* action : Frame()->ToolBar()->actions())
        buttons.push_back(action->isSeparator() ? 0u : CommandOf(action));
    const std::vector<UINT> expected = {32783, 32773, 32772, 0,     32774, 32775, 0,    32779,
                                        32780, 32782, 0,     32777, 32776, 32778, 57664};
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(Frame()->ToolBar()->iconSize(), QSize(16, 15));

    QAction* about = Frame()->CommandAction(ID_APP_ABOUT);
    EXPECT_EQ(about->toolTip(), QStringLiteral("정보"));
    EXPECT_EQ(about->statusTip(), QStringLiteral("프로그램 정보와 버전 정보, 저작권 정보를 표시합니다"));
    EXPECT_EQ(Frame()->CommandAction(ID_LIGHTING)->statusTip(), QStringLiteral("Light  적용 유무"));
    EXPECT_EQ(Frame()->StatusBar()->PaneCount(), 4);
    EXPECT_EQ(Frame()->StatusBar()->PaneText(0), QStringLiteral("준비"));
}

TEST_F(AppTest, LockKeyPanesShowTheKeysThatAreOn) {
    Start();
    CStatusBar* bar = Frame()->StatusBar();
    bar->ShowLockKeys(LockKeyStates{true, false, true});
    EXPECT_EQ(bar->PaneText(1), QStringLiteral("CAP"));
    EXPECT_EQ(bar->PaneText(2), QString());
    EXPECT_EQ(bar->PaneText(3), QStringLiteral("SCRL"));
    bar->ShowLockKeys(LockKeyStates{false, true, false});
    EXPECT_EQ(bar->PaneText(1), QString());
    EXPECT_EQ(bar->PaneText(2), QStringLiteral("NUM"));
    EXPECT_EQ(bar->PaneText(3), QString());
    // Without a window system that tells them, the idle refresh leaves the panes empty.
    ASSERT_FALSE(ReadLockKeys().has_value());
    app->OnIdle(0);
    for (int pane = 1; pane <= 3; ++pane)
        EXPECT_EQ(bar->PaneText(pane), QString()) << pane;
}

TEST_F(AppTest, AboutBoxRunsModally) {
    Start();
    QString title;
    QTimer::singleShot(20, Frame(), [&title] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->done(IDOK);
        }
    });
    Frame()->SendCommand(ID_APP_ABOUT);
    EXPECT_EQ(title, QStringLiteral("Quorvel 정보"));
}

TEST_F(AppTest, PrintingDrawsTheCurrentPictureScaledToThePage) {
    Start();
    theRenderSettings->showText = 0;
    Pictures(1);
    const QImage& picture = View()->CurrentPicture();
    ASSERT_FALSE(picture.isNull());

    QImage page(400, 1000, QImage::Format_RGB32);
    page.fill(Qt::magenta);
    {
        QPainter painter(&page);
        View()->PrintPicture(painter, page.rect());
    }
    const int drawnHeight = picture.height() * 400 / picture.width();
    const int top = (1000 - drawnHeight) / 2;
    EXPECT_EQ(page.pixel(200, top - 2), QColor(Qt::magenta).rgb()) << "the picture keeps its proportions";
    EXPECT_NE(page.pixel(200, top + 2), QColor(Qt::magenta).rgb());
    // The top-left corner shows the background colour of the view.
    EXPECT_EQ(page.pixel(1, top + 1) & 0xFFFFFF, picture.pixel(0, 0) & 0xFFFFFF);
}
