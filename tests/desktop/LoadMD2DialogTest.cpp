#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppFixture.h"
#include "desktop/LoadMD2Dialog.h"
#include "panel/MyPropertySheet.h"
#include "resources/Resource.h"

namespace {

// Runs `act` on the load dialog once it is up; closes whatever else came up instead.
void WhenDialogOpens(std::function<void(CLoadMD2Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = dynamic_cast<CLoadMD2Dialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "no load dialog";
            if (modal)
                modal->close();
            return;
        }
        act(*dialog);
    });
}

void Click(CDialogBase& dialog, int id) {
    QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton);
}

QString EditText(CDialogBase& dialog, int id) {
    return dialog.DlgItem<QLineEdit>(id)->text();
}

class LoadDialogTest : public AppTest {
protected:
    CMyPropertyPage3& ModelPage() { return Frame()->controlSheet->page3; }
    std::string DataFile(const char* name) const { return folder.File(std::string("Data/") + name); }
};

TEST_F(LoadDialogTest, StartupCancelKeepsTheModelWritesNothingAndFillsThePanel) {
    Start();
    std::filesystem::remove(SettingsFile());
    MD2Model* loaded = theScene->model.get();
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(ModelPage().m_blockList.GetItemCount(), 0);
    QPoint position;
    QString md2Text;
    WhenDialogOpens([&](CLoadMD2Dialog& dialog) {
        position = dialog.pos();
        md2Text = EditText(dialog, IDC_MD2_FILE);
        Click(dialog, IDCANCEL);
    });
    app->RunStartupLoad();
    EXPECT_EQ(position, QPoint(100, 150));
    EXPECT_EQ(md2Text.toStdString(), DataFile("ex1.md2")) << "pre-filled from the settings";
    EXPECT_EQ(theScene->model.get(), loaded);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_GT(ModelPage().m_blockList.GetItemCount(), 0) << "the start-up refreshes the panel anyway";
}

TEST_F(LoadDialogTest, OkWithoutChangesWritesTheSettingsAndReloadsFromDisk) {
    Start();
    std::filesystem::remove(SettingsFile());
    theScene->model->triangleCount = -1;
    WhenDialogOpens([](CLoadMD2Dialog& dialog) { Click(dialog, IDOK); });
    Frame()->SendCommand(ID_LOAD_MODEL);
    const std::string written = ReadBytes(SettingsFile());
    EXPECT_NE(written.find("MD2file=" + DataFile("ex1.md2")), std::string::npos) << written;
    EXPECT_NE(written.find("Cartoon=" + DataFile("catoon.jpg")), std::string::npos) << written;
    ASSERT_NE(theScene->model, nullptr);
    EXPECT_GT(theScene->model->triangleCount, 0) << "read again from the file";
    EXPECT_EQ(ModelPage().m_triangleCount, theScene->model->triangleCount);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LoadDialogTest, OpeningTakesTheSpeedFromTheFileAndCommandCancelLeavesThePanel) {
    Start();
    WriteBytes(SettingsFile(), "[MD2Data]\nSpeed=12\n");
    theScene->modelFile.speed = 40;
    WhenDialogOpens([](CLoadMD2Dialog& dialog) { Click(dialog, IDCANCEL); });
    Frame()->SendCommand(ID_LOAD_MODEL);
    EXPECT_EQ(theScene->modelFile.speed, 12);
    EXPECT_EQ(ModelPage().m_blockList.GetItemCount(), 0) << "only a confirmed load refreshes the panel";
}

TEST_F(LoadDialogTest, OtherModelIsLoadedAndShownOnThePanel) {
    Start();
    std::filesystem::copy_file(DataFile("ex1.md2"), DataFile("copy.md2"));
    WhenDialogOpens([this](CLoadMD2Dialog& dialog) {
        dialog.DlgItem<QLineEdit>(IDC_MD2_FILE)->setText(QString::fromStdString(DataFile("copy.md2")));
        Click(dialog, IDOK);
    });
    Frame()->SendCommand(ID_LOAD_MODEL);
    EXPECT_STREQ(theScene->modelFile.md2Path, DataFile("copy.md2").c_str());
    EXPECT_STREQ(theScene->model->md2Path, DataFile("copy.md2").c_str());
    EXPECT_NE(ReadBytes(SettingsFile()).find("copy.md2"), std::string::npos);
    EXPECT_EQ(ModelPage().m_blockList.GetItemCount(), theScene->model->blockCount);
}

TEST_F(LoadDialogTest, AfterALoadKeysGoToTheBlockListNotTheView) {
    Start();
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    WhenDialogOpens([](CLoadMD2Dialog& dialog) { Click(dialog, IDOK); });
    Frame()->SendCommand(ID_LOAD_MODEL);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()->controlSheet));
    EXPECT_EQ(QApplication::focusWidget(), ModelPage().m_blockList.Widget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    EXPECT_EQ(theRenderSettings->wireframe, 0) << "key 1 did not reach the view";
}

TEST_F(LoadDialogTest, DamagedModelLeavesAnEmptyBlockList) {
    Start();
    WriteBytes(DataFile("bad.md2"), ReadBytes(DataFile("ex1.md2")).substr(0, 200));
    WhenDialogOpens([this](CLoadMD2Dialog& dialog) {
        dialog.DlgItem<QLineEdit>(IDC_MD2_FILE)->setText(QString::fromStdString(DataFile("bad.md2")));
        Click(dialog, IDOK);
    });
    Frame()->SendCommand(ID_LOAD_MODEL);
    EXPECT_FALSE(boxes.shown.empty()) << "the loader says what went wrong";
    EXPECT_EQ(ModelPage().m_blockList.GetItemCount(), 0);
    EXPECT_EQ(ModelPage().m_blockCount, 0);
    Pictures(3);
    EXPECT_EQ(View()->PresentedPictures(), 3u);
}

TEST_F(LoadDialogTest, OverlongPathIsRefusedAndTheDialogStaysOpen) {
    Start();
    const std::string before = theScene->modelFile.texturePath;
    bool stayedOpen = false;
    WhenDialogOpens([&](CLoadMD2Dialog& dialog) {
        dialog.DlgItem<QLineEdit>(IDC_TEXTURE_FILE)->setText(QString(300, QLatin1Char('t')));
        Click(dialog, IDOK);
        stayedOpen = dialog.isVisible();
        Click(dialog, IDCANCEL);
    });
    Frame()->SendCommand(ID_LOAD_MODEL);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Path_error");
    EXPECT_EQ(theScene->modelFile.texturePath, before);
}

// A dialog whose chooser answers from a script instead of asking.
class ScriptedChooser : public CLoadMD2Dialog {
public:
    int ChooseFile(std::string& outPath, const char* filter) override {
        filters.push_back(filter);
        if (answer.empty())
            return 0;
        outPath = answer;
        return 1;
    }
    std::string answer;
    std::vector<std::string> filters;
};

TEST_F(LoadDialogTest, ChosenFileRewritesAllThreeEditsFromTheMembers) {
    ScriptedChooser dialog;
    dialog.m_strMD2file = "a.md2";
    dialog.m_strTexture = "skin.jpg";
    dialog.OnInitDialog();
    dialog.DlgItem<QLineEdit>(IDC_TEXTURE_FILE)->setText(QStringLiteral("typed.jpg"));
    dialog.answer = "/chosen/b.md2";
    Click(dialog, IDC_CHOOSE_MD2);
    EXPECT_EQ(EditText(dialog, IDC_MD2_FILE), QStringLiteral("/chosen/b.md2"));
    EXPECT_EQ(EditText(dialog, IDC_TEXTURE_FILE), QStringLiteral("skin.jpg")) << "the typed text is gone";
    EXPECT_EQ(dialog.filters, std::vector<std::string>{MD2_FILE_FILTER});
}

TEST_F(LoadDialogTest, CancelledChooserLeavesTheEdits) {
    ScriptedChooser dialog;
    dialog.m_strCartoon = "ramp.jpg";
    dialog.OnInitDialog();
    dialog.DlgItem<QLineEdit>(IDC_CARTOON_FILE)->setText(QStringLiteral("typed.tga"));
    Click(dialog, IDC_CHOOSE_CARTOON);
    EXPECT_EQ(EditText(dialog, IDC_CARTOON_FILE), QStringLiteral("typed.tga"));
    EXPECT_EQ(dialog.m_strCartoon, "ramp.jpg");
    EXPECT_EQ(dialog.filters, std::vector<std::string>{CARTOON_FILE_FILTER});
}

TEST_F(LoadDialogTest, ChooserOpensInTheDataFolderWithTheFilters) {
    CLoadMD2Dialog dialog;
    QString folderShown;
    QStringList filters;
    const QString chosen = QString::fromStdString(folder.File("Data/ex1.jpg"));
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return ADD_FAILURE() << "no file chooser";
        folderShown = chooser->directory().absolutePath();
        filters = chooser->nameFilters();
        chooser->selectFile(chosen);
        static_cast<QDialog*>(chooser)->accept();
    });
    std::string path = "unchanged";
    EXPECT_EQ(dialog.ChooseFile(path, TEXTURE_FILE_FILTER), 1);
    EXPECT_EQ(QString::fromStdString(path), chosen);
    EXPECT_EQ(folderShown, QString::fromStdString(folder.File("Data")));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0],
              QStringLiteral("texture file (*.bmp), (*.jpg), (*.tga) (*.bmp *.BMP *.jpg *.JPG *.tga *.TGA)"));

    QTimer::singleShot(0, [] {
        if (QWidget* chooser = QApplication::activeModalWidget())
            chooser->close();
    });
    EXPECT_EQ(dialog.ChooseFile(path, MD2_FILE_FILTER), 0);
    EXPECT_EQ(QString::fromStdString(path), chosen);
}

TEST(FileChooserFilters, TurnsWindowsFilterStringsIntoNameFilters) {
    EXPECT_EQ(FileChooserFilters(MD2_FILE_FILTER),
              QStringList{QStringLiteral("MD2 file (*.md2) (*.md2 *.MD2)")});
    EXPECT_EQ(FileChooserFilters("A|*.a|B|*.b||"), (QStringList{"A (*.a *.A)", "B (*.b *.B)"}));
    EXPECT_TRUE(FileChooserFilters("").isEmpty());
    EXPECT_TRUE(FileChooserFilters("no patterns|").isEmpty());
}

} // namespace
