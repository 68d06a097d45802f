#include <cstring>
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
    const std::pair<const char*, int> cases[] = {{"0", 30}, {"-5", 30}, {"51", 30}, {"50", 50}, {"1", 1}, {"abc", 30}};
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
