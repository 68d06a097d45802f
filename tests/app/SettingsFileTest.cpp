#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/SettingsFile.h"
#include "platform/os/PrivateProfile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { std::filesystem::create_directory(dir.Path() / "Data"); }

    std::string Data(const std::string& name) const { return (dir.Path() / "Data" / name).string(); }
    std::string Ini() const { return Data("MD2DATA.ini"); }
    void Write(const std::string& key, const std::string& value) {
        WritePrivateProfileStringA("MD2Data", key.c_str(), value.c_str(), Ini().c_str());
    }
    void Touch(const std::string& path) { std::ofstream(path) << "x"; }

    TempDir dir;
    MessageRecorder recorder;
    ModelFile record{};
    std::string currentDirectory = dir.Path().string();
    SettingsFile settings{currentDirectory.c_str(), record};
};

TEST_F(SettingsFileTest, WithoutAFileTheDefaultsAreUsedAndWrittenOnSave) {
    settings.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(record.speed, 30);
    EXPECT_EQ(std::string(record.md2Path), Data("ex1.md2"));
    EXPECT_EQ(std::string(record.texturePath), Data("ex1.jpg"));
    EXPECT_EQ(std::string(record.cartoonPath), Data("catoon.jpg"));
    EXPECT_FALSE(std::filesystem::exists(Ini()));

    settings.SaveSettings("MD2DATA.ini");
    char value[300];
    GetPrivateProfileStringA("MD2Data", "Cartoon", "", value, sizeof value, Ini().c_str());
    EXPECT_EQ(std::string(value), Data("catoon.jpg"));
    EXPECT_EQ(GetPrivateProfileIntA("MD2Data", "Speed", 0, Ini().c_str()), 30u);
}

TEST_F(SettingsFileTest, SpeedsOutsideOneToFiftyBecomeThirty) {
    const std::pair<const char*, int> cases[] = {{"0", 30},  {"-5", 30}, {"51", 30},
                                                 {"50", 50}, {"1", 1},   {"abc", 30}};
    for (const auto& [text, expected] : cases) {
        Write("Speed", text);
        settings.LoadSettings("MD2DATA.ini");
        EXPECT_EQ(record.speed, expected) << text;
    }
    WritePrivateProfileStringA("MD2Data", "Speed", nullptr, Ini().c_str());
    settings.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(record.speed, 30);
}

TEST_F(SettingsFileTest, MissingFilesAreLookedForInTheDataFolder) {
    Write("MD2file", "D:\\models\\wolf.md2");
    Write("Texture", "wolf.jpg");
    const std::string outside = (dir.Path() / "skin.png").string();
    Touch(outside);
    Write("Cartoon", outside);
    settings.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(std::string(record.md2Path), Data("wolf.md2"));
    EXPECT_EQ(std::string(record.texturePath), Data("wolf.jpg"));
    EXPECT_EQ(std::string(record.cartoonPath), outside); // an existing file stays where it is
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SettingsFileTest, RepairedFileNamesAreCutToSixtyCharacters) {
    const std::string longName(70, 'n');
    Write("MD2file", "/nowhere/" + longName);
    settings.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(std::string(record.md2Path), Data(longName.substr(0, 60)));
    EXPECT_EQ(DisplayFileName("C:\\a\\b/c.md2"), "c.md2");
    EXPECT_EQ(DisplayFileName("plain.md2"), "plain.md2");
}

// Sixty characters, not bytes: a UTF-8 sequence is never split, so the repaired path, the
// settings file and the overlay hold valid text.
TEST_F(SettingsFileTest, FileNamesAreCutToSixtyCharactersNeverInsideASequence) {
    std::string accented;
    for (int i = 0; i < 70; ++i)
        accented += "\xC3\xA9"; // e acute, two bytes
    EXPECT_EQ(FileNameOfPath(("/models/" + accented).c_str()), accented.substr(0, 120));

    const std::string mixed = std::string(59, 'a') + "\xE6\xA8\xA1\xE5\x9E\x8B.md2"; // two 3-byte characters
    EXPECT_EQ(FileNameOfPath(mixed.c_str()), std::string(59, 'a') + "\xE6\xA8\xA1");

    Write("MD2file", "/nowhere/" + accented);
    settings.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(std::string(record.md2Path), Data(accented.substr(0, 120)));
    settings.SaveSettings("MD2DATA.ini");
    char value[300];
    GetPrivateProfileStringA("MD2Data", "MD2file", "", value, sizeof value, Ini().c_str());
    EXPECT_EQ(std::string(value), Data(accented.substr(0, 120)));
}

TEST_F(SettingsFileTest, ShownFileNamesReplaceBytesThatAreNotUtf8) {
    EXPECT_EQ(DisplayFileName("/m/wolf\xFF\xC3.md2"), "wolf\xEF\xBF\xBD\xEF\xBF\xBD.md2");
    EXPECT_EQ(FileNameOfPath("/m/wolf\xFF.md2"), "wolf\xFF.md2") << "the file's own name is kept for repairs";
    const std::string latin1(70, '\xE9');
    std::string replaced;
    for (int i = 0; i < 60; ++i)
        replaced += "\xEF\xBF\xBD";
    EXPECT_EQ(DisplayFileName(latin1.c_str()), replaced);
}

// A working folder too long for the 256-character path fields cannot name the data folder:
// the user is told, and no path falls back to "/Data/" at the root.
TEST_F(SettingsFileTest, AWorkingFolderTooLongForThePathFieldsIsReported) {
    std::filesystem::path deep = dir.Path();
    while (deep.string().size() < 300)
        deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(deep);
    char directory[MODEL_PATH_SIZE];
    std::strcpy(directory, "stale");
    const bool captured = CaptureCurrentDirectory(directory);
    std::filesystem::current_path(before);
    EXPECT_FALSE(captured);
    EXPECT_STREQ(directory, "");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Path_error");

    ModelFile unknown{};
    SettingsFile withoutFolder(directory, unknown);
    EXPECT_FALSE(withoutFolder.HasDataFolder());
    withoutFolder.LoadSettings("MD2DATA.ini");
    EXPECT_EQ(unknown.speed, 30);
    EXPECT_STREQ(unknown.md2Path, "");
    EXPECT_STREQ(unknown.cartoonPath, "");
    char path[MODEL_PATH_SIZE] = "/gone/wolf.md2";
    EXPECT_EQ(withoutFolder.CheckDataPath(path), E_FAIL);
    EXPECT_STREQ(path, "/gone/wolf.md2");
    withoutFolder.SaveSettings("MD2DATA.ini");
    EXPECT_FALSE(std::filesystem::exists("/Data/MD2DATA.ini"));

    std::strcpy(directory, "stale");
    EXPECT_TRUE(CaptureCurrentDirectory(directory));
    EXPECT_EQ(std::string(directory), before.string());
}

TEST_F(SettingsFileTest, APathLongerThanItsFieldIsRefusedNotCut) {
    const std::string existing = Data("ex1.md2");
    Touch(existing);
    Write("MD2file", existing);
    settings.LoadSettings("MD2DATA.ini");
    ASSERT_EQ(std::string(record.md2Path), existing);

    Write("MD2file", "/" + std::string(300, 'p') + "/model.md2");
    settings.LoadSettings("MD2DATA.ini");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Path_error");
    EXPECT_EQ(std::string(record.md2Path), existing);
}

TEST_F(SettingsFileTest, AFolderIsNotAnExistingFile) {
    std::filesystem::create_directory(dir.Path() / "folder.md2");
    char path[MODEL_PATH_SIZE];
    std::strcpy(path, (dir.Path() / "folder.md2").c_str());
    EXPECT_EQ(settings.CheckDataPath(path), E_FAIL);
    EXPECT_EQ(std::string(path), Data("folder.md2"));
}

} // namespace
