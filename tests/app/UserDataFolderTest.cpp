#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

#include "app/UserDataFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class UserDataFolderTest : public ::testing::Test {
protected:
    UserDataFolderTest() {
        fs::create_directories(sample);
        std::ofstream(sample / "ex1.md2") << "IDP2 model";
        std::ofstream(sample / "ex1.jpg") << "skin";
        std::ofstream(sample / "MD2DATA.ini") << "[MD2Data]\nSpeed=5\n";
        fs::create_directories(menu);
    }

    TempDir dir;
    fs::path sample = dir.Path() / "share" / "lumivox" / "Data";
    fs::path menu = dir.Path() / "started-here";
    fs::path user = dir.Path() / "xdg" / "lumivox";
    ScopedEnvironment xdg{"XDG_DATA_HOME", (dir.Path() / "xdg").c_str()};
    std::string error;
};

TEST_F(UserDataFolderTest, TheUsersFolderFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(UserDataFolder(), user.string());
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment relative("XDG_DATA_HOME", "relative/share");
        EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share/lumivox");
    }
    ScopedEnvironment unset("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share/lumivox");
    ScopedEnvironment noHome("HOME", nullptr);
    EXPECT_EQ(UserDataFolder(), "");
    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {sample.string()}, error), "");
    EXPECT_FALSE(error.empty());
}

TEST_F(UserDataFolderTest, AFolderWithDataStaysTheWorkingFolder) {
    fs::create_directory(menu / "Data");
    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {sample.string()}, error), menu.string());
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(fs::exists(user));
}

TEST_F(UserDataFolderTest, WithoutDataTheUsersFolderIsSeededWithTheSample) {
    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {(dir.Path() / "absent").string(), sample.string()}, error),
              user.string());
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_EQ(Read(user / "Data" / "ex1.md2"), "IDP2 model");
    EXPECT_EQ(Read(user / "Data" / "ex1.jpg"), "skin");
    // The settings are the user's own, never the sample folder's.
    EXPECT_FALSE(fs::exists(user / "Data" / "MD2DATA.ini"));
    EXPECT_FALSE(fs::exists(menu / "Data"));
}

TEST_F(UserDataFolderTest, SeedingAgainKeepsWhatTheUserHasAndAddsWhatIsMissing) {
    ASSERT_EQ(ChooseWorkingFolder(menu.string(), {sample.string()}, error), user.string());
    std::ofstream(user / "Data" / "ex1.jpg") << "my own skin";
    std::ofstream(user / "Data" / "MD2DATA.ini") << "[MD2Data]\nSpeed=12\n";
    fs::remove(user / "Data" / "ex1.md2");
    std::ofstream(sample / "catoon.jpg") << "ramp";

    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {sample.string()}, error), user.string());
    EXPECT_EQ(Read(user / "Data" / "ex1.jpg"), "my own skin");
    EXPECT_EQ(Read(user / "Data" / "MD2DATA.ini"), "[MD2Data]\nSpeed=12\n");
    EXPECT_EQ(Read(user / "Data" / "ex1.md2"), "IDP2 model");
    EXPECT_EQ(Read(user / "Data" / "catoon.jpg"), "ramp");
}

TEST_F(UserDataFolderTest, AFolderThatCannotBeMadeLeavesTheWorkingFolderAlone) {
    std::ofstream(dir.Path() / "xdg") << "a file where the folder would go";
    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {sample.string()}, error), "");
    EXPECT_NE(error.find("cannot make"), std::string::npos) << error;
}

TEST_F(UserDataFolderTest, WithoutASampleTheUsersFolderIsStillUsedAndTheReasonGiven) {
    EXPECT_EQ(ChooseWorkingFolder(menu.string(), {(dir.Path() / "absent").string()}, error), user.string());
    EXPECT_TRUE(fs::is_directory(user / "Data"));
    EXPECT_NE(error.find("sample"), std::string::npos);
}

TEST_F(UserDataFolderTest, FilesNamedOnTheCommandLineBecomeAbsolute) {
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_EQ(AbsoluteFileArgument("share/lumivox/Data/ex1.md2"), (sample / "ex1.md2").string());
    // A path into an archive file: the archive exists, the rest is inside it.
    EXPECT_EQ(AbsoluteFileArgument("share/lumivox/Data/ex1.md2/models/tris.md2"),
              (sample / "ex1.md2" / "models" / "tris.md2").string());
    EXPECT_EQ(AbsoluteFileArgument("-style"), "-style");
    EXPECT_EQ(AbsoluteFileArgument("fusion"), "fusion");
    EXPECT_EQ(AbsoluteFileArgument("share/absent/x.md2"), "share/absent/x.md2");
    EXPECT_EQ(AbsoluteFileArgument("/already/absolute"), "/already/absolute");
    fs::current_path(before);
}

} // namespace
