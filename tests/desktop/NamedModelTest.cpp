// Models named outside the load dialog: on the command line and by dropping files.

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <fstream>
#include <iterator>

#include "AppFixture.h"
#include "desktop/NamedModelLoad.h"
#include "panel/MyPropertySheet.h"
#include "support/ArchiveWriter.h"

namespace {

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bundled model with one skin name in its header.
std::string ModelNamingSkin(const std::string& name) {
    std::string md2 = ReadWhole(std::filesystem::path(LUMIVOX_SOURCE_DIR) / "Data/ex1.md2");
    std::int32_t header[17];
    std::memcpy(header, md2.data(), sizeof header);
    header[5] = 1;
    header[11] = 68;
    for (int field = 12; field <= 16; ++field)
        header[field] += 64;
    std::memcpy(md2.data(), header, sizeof header);
    return md2.substr(0, 68) + name + std::string(64 - name.size(), '\0') + md2.substr(68);
}

class NamedModelTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::filesystem::create_directories(folder.Path() / "game/models/hero");
        WriteArchiveFile(Game("models/hero/tris.md2"), ModelNamingSkin("models/hero/skin.pcx"));
        WriteArchiveFile(Game("models/hero/skin.jpg"), ReadWhole(folder.Path() / "Data/ex1.jpg"));
        WriteArchiveFile(Game("ramp.jpg"), ReadWhole(folder.Path() / "Data/catoon.jpg"));
    }
    std::string Game(const std::string& name) const { return folder.File("game/" + name); }

    // Everything InitInstance does after the frame exists, with a dialog that only counts.
    void StartWith(const QStringList& arguments) {
        ASSERT_TRUE(app->CreateMainWindow());
        View()->loadDialog = [this](CLumivoxViewWindow::LoadOccasion) { ++dialogs; };
        app->FinishStartup(arguments);
    }
    const ModelFile& Record() const { return theScene->modelFile; }
    std::string Settings() const { return ReadWhole(SettingsFile()); }

    int dialogs = 0;
};

} // namespace

TEST_F(NamedModelTest, AModelOnTheCommandLineOpensWithoutTheDialogAndIsRecorded) {
    StartWith({"lumivox", QString::fromStdString(Game("models/hero/tris.md2"))});
    EXPECT_EQ(dialogs, 0);
    EXPECT_STREQ(Record().md2Path, Game("models/hero/tris.md2").c_str());
    EXPECT_STREQ(Record().texturePath, Game("models/hero/skin.jpg").c_str()) << "found from the header";
    EXPECT_STREQ(Record().cartoonPath, folder.File("Data/catoon.jpg").c_str()) << "the ramp in use stays";
    ASSERT_NE(theScene->model, nullptr);
    EXPECT_STREQ(theScene->model->md2Path, Game("models/hero/tris.md2").c_str());
    EXPECT_NE(theScene->model->skinTexture, nullptr);
    EXPECT_NE(theScene->model->cartoonTexture, nullptr);
    EXPECT_EQ(Frame()->controlSheet->page3.m_triangleCount, 1208) << "the model page shows it";
    EXPECT_NE(Settings().find("MD2file=" + Game("models/hero/tris.md2")), std::string::npos);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(NamedModelTest, SkinAndRampOnTheCommandLineAreUsedAsGiven) {
    StartWith({"lumivox", "-style", QString::fromStdString(Game("models/hero/tris.md2")),
               QString::fromStdString(folder.File("Data/ex1.jpg")),
               QString::fromStdString(Game("ramp.jpg"))});
    EXPECT_EQ(dialogs, 0);
    EXPECT_STREQ(Record().texturePath, folder.File("Data/ex1.jpg").c_str());
    EXPECT_STREQ(Record().cartoonPath, Game("ramp.jpg").c_str());
    EXPECT_NE(Settings().find("Cartoon=" + Game("ramp.jpg")), std::string::npos);
}

TEST_F(NamedModelTest, WithoutArgumentsTheStartUpDialogRunsAsBefore) {
    StartWith({"lumivox"});
    EXPECT_EQ(dialogs, 1);
    EXPECT_STREQ(Record().md2Path, folder.File("Data/ex1.md2").c_str());
}

TEST_F(NamedModelTest, AModelInsideAnArchiveOpensFromTheCommandLine) {
    WriteArchiveFile(Game("pak0.pak"),
                     MakePak({{"models/hero/tris.md2", ModelNamingSkin("models/hero/skin.jpg")},
                              {"models/hero/skin.jpg", ReadWhole(folder.Path() / "Data/ex1.jpg")}}));
    StartWith({"lumivox", QString::fromStdString(Game("pak0.pak/models/hero/tris.md2"))});
    EXPECT_STREQ(Record().texturePath, Game("pak0.pak/models/hero/skin.jpg").c_str());
    ASSERT_NE(theScene->model, nullptr);
    EXPECT_EQ(theScene->model->triangleCount, 1208);
    EXPECT_NE(theScene->model->skinTexture, nullptr);
    // The next start reads the archive path back unrepaired.
    View()->View().LoadSettings(SETTINGS_FILE_NAME);
    EXPECT_STREQ(Record().md2Path, Game("pak0.pak/models/hero/tris.md2").c_str());
}

TEST_F(NamedModelTest, DroppedFilesReplaceTheModelTheSkinOrWithShiftTheRamp) {
    Start();
    const std::string skin = folder.File("Data/ex1.jpg");
    View()->OnDropFiles({QString::fromStdString(Game("models/hero/tris.md2"))}, false);
    EXPECT_STREQ(Record().md2Path, Game("models/hero/tris.md2").c_str());
    EXPECT_STREQ(Record().texturePath, Game("models/hero/skin.jpg").c_str());
    EXPECT_STREQ(theScene->model->md2Path, Game("models/hero/tris.md2").c_str());

    View()->OnDropFiles({QString::fromStdString(skin)}, false);
    EXPECT_STREQ(Record().texturePath, skin.c_str());
    EXPECT_STREQ(Record().md2Path, Game("models/hero/tris.md2").c_str());

    View()->OnDropFiles({QString::fromStdString(Game("ramp.jpg"))}, true);
    EXPECT_STREQ(Record().cartoonPath, Game("ramp.jpg").c_str());
    EXPECT_STREQ(Record().texturePath, skin.c_str());
    EXPECT_NE(theScene->model->cartoonTexture, nullptr);
    EXPECT_NE(Settings().find("Cartoon=" + Game("ramp.jpg")), std::string::npos);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(NamedModelTest, UnusableDropsShowTheUsualMessageAndChangeNothing) {
    Start();
    WriteArchiveFile(Game("notes.txt"), "not an image");
    WriteArchiveFile(Game("bad.md2"), "IDP2\x08\x00\x00\x00 but cut short");
    const ModelFile before = Record();
    View()->OnDropFiles({QString::fromStdString(Game("notes.txt"))}, false);
    View()->OnDropFiles({QString::fromStdString(Game("notes.txt"))}, true);
    View()->OnDropFiles({QString::fromStdString(Game("bad.md2"))}, false);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "Could not find Texture");
    EXPECT_EQ(boxes.shown[1].text, "Could not find CatoonTexture");
    EXPECT_EQ(boxes.shown[2].caption, "Loading_error");
    EXPECT_EQ(std::memcmp(&before, &Record(), sizeof before), 0);
    EXPECT_STREQ(theScene->model->md2Path, before.md2Path);
}

TEST_F(NamedModelTest, FilesDroppedOnTheMainWindowReachTheView) {
    Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Game("ramp.jpg")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(Frame(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_STREQ(Record().cartoonPath, Game("ramp.jpg").c_str());

    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.File("Data/ex1.jpg")))});
    QDropEvent onView(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(View(), &onView);
    EXPECT_STREQ(Record().texturePath, folder.File("Data/ex1.jpg").c_str());
}
