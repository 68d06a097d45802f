#include "platform/os/PrivateProfile.h"
#include "platform/os/TextFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PrivateProfileWrite : public testing::Test {
protected:
    BOOL Write(const char* section, const char* key, const char* value) {
        return WritePrivateProfileStringA(section, key, value, file.c_str());
    }
    void ExpectOnlyTheSettingsFile() const {
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"MD2DATA.ini"});
    }

    TempFolder folder;
    std::string file = folder.File("MD2DATA.ini");
};

const std::string kHandWritten = "; Lumivox settings\n"
                                 "\n"
                                 "[Window]\n"
                                 "  Width = 640   \n"
                                 "\n"
                                 "[MD2Data]\n"
                                 "; speed in frames per second\n"
                                 "Speed = 30\n"
                                 "MD2file=/data/ex1.md2\n"
                                 "\n"
                                 "[Last]\n"
                                 "x=1";

TEST_F(PrivateProfileWrite, CreatesTheFileAndSection) {
    EXPECT_TRUE(Write("MD2Data", "Speed", "30"));
    EXPECT_TRUE(Write("MD2Data", "MD2file", "/home/me/Data/ex1.md2"));
    EXPECT_EQ(ReadBytes(file), "[MD2Data]\nSpeed=30\nMD2file=/home/me/Data/ex1.md2\n");
    EXPECT_EQ(GetPrivateProfileIntA("MD2Data", "Speed", 0, file.c_str()), 30u);
    ExpectOnlyTheSettingsFile();
}

TEST_F(PrivateProfileWrite, ReplacesInPlaceAndKeepsEverythingElse) {
    WriteBytes(file, kHandWritten);
    EXPECT_TRUE(Write("md2data", "SPEED", "45"));
    std::string expected = kHandWritten;
    expected.replace(expected.find("Speed = 30"), 10, "Speed = 45");
    EXPECT_EQ(ReadBytes(file), expected);
    ExpectOnlyTheSettingsFile();
}

TEST_F(PrivateProfileWrite, AppendsTheKeyToItsOwnSection) {
    WriteBytes(file, kHandWritten);
    EXPECT_TRUE(Write("MD2Data", "Texture", "/data/ex1.jpg"));
    EXPECT_TRUE(Write("Last", "y", "2"));
    EXPECT_TRUE(Write("New", "z", "3"));
    std::string expected = kHandWritten;
    expected.insert(expected.find("MD2file=/data/ex1.md2\n") + 22, "Texture=/data/ex1.jpg\n");
    expected += "\ny=2\n\n[New]\nz=3\n";
    EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(PrivateProfileWrite, DeletesKeysAndSections) {
    WriteBytes(file, kHandWritten);
    EXPECT_TRUE(Write("MD2Data", "MD2file", nullptr));
    EXPECT_TRUE(Write("Window", nullptr, nullptr));
    EXPECT_TRUE(Write("Nowhere", "x", nullptr));
    EXPECT_EQ(ReadBytes(file), "; Lumivox settings\n"
                               "\n"
                               "\n"
                               "[MD2Data]\n"
                               "; speed in frames per second\n"
                               "Speed = 30\n"
                               "\n"
                               "[Last]\n"
                               "x=1");

    const std::string absent = folder.File("absent.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("MD2Data", "Speed", nullptr, absent.c_str()));
    EXPECT_FALSE(fs::exists(absent)) << "deleting from a missing file must not create it";
}

TEST_F(PrivateProfileWrite, WindowsLineEndingsAreKept) {
    WriteBytes(file, "[MD2Data]\r\nSpeed=30\r\n");
    EXPECT_TRUE(Write("MD2Data", "Speed", "10"));
    EXPECT_TRUE(Write("MD2Data", "Cartoon", "c.jpg"));
    EXPECT_EQ(ReadBytes(file), "[MD2Data]\r\nSpeed=10\r\nCartoon=c.jpg\r\n");
}

TEST_F(PrivateProfileWrite, RefusedOrFailedWritesLeaveTheFileAlone) {
    WriteBytes(file, kHandWritten);
    EXPECT_FALSE(Write("MD2Data", "Speed", "1\n[Evil]"));
    EXPECT_FALSE(Write("MD2Data", "a=b", "1"));
    EXPECT_FALSE(Write("MD2]Data", "a", "1"));
    EXPECT_FALSE(WritePrivateProfileStringA("MD2Data", "Speed", "1", nullptr));
    EXPECT_EQ(ReadBytes(file), kHandWritten);

    const std::string inMissingFolder = folder.File("no/such/folder/MD2DATA.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("MD2Data", "Speed", "30", inMissingFolder.c_str()));
    const std::string aDirectory = folder.File("dir.ini");
    fs::create_directory(aDirectory);
    EXPECT_FALSE(WritePrivateProfileStringA("MD2Data", "Speed", "30", aDirectory.c_str()));
    EXPECT_TRUE(fs::is_directory(aDirectory));
    fs::remove(aDirectory);
    ExpectOnlyTheSettingsFile();
}

TEST_F(PrivateProfileWrite, ReadOnlyFolderFailsWithoutDamage) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    WriteBytes(file, kHandWritten);
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(Write("MD2Data", "Speed", "45"));
    fs::permissions(folder.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(file), kHandWritten);
    ExpectOnlyTheSettingsFile();
}

TEST_F(PrivateProfileWrite, KeepsPermissionsAndSymbolicLinks) {
    WriteBytes(file, kHandWritten);
    ::chmod(file.c_str(), 0640);
    const std::string link = folder.File("link.ini");
    fs::create_symlink(file, link);

    EXPECT_TRUE(WritePrivateProfileStringA("MD2Data", "Speed", "12", link.c_str()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(GetPrivateProfileIntA("MD2Data", "Speed", 0, file.c_str()), 12u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(PrivateProfileWrite, LongValuesRoundTrip) {
    const std::string longPath = "/" + std::string(70000, 'p');
    EXPECT_TRUE(Write("MD2Data", "MD2file", longPath.c_str()));
    std::string buffer(80000, '\0');
    EXPECT_EQ(GetPrivateProfileStringA("MD2Data", "MD2file", "", buffer.data(), 80000, file.c_str()),
              longPath.size());
    EXPECT_EQ(buffer.c_str(), longPath);
}

TEST(ReplaceTextFile, FailedRenameRemovesTheTemporaryFile) {
    TempFolder folder;
    const std::string target = folder.File("busy");
    fs::create_directory(target);
    WriteBytes(folder.File("busy/inside"), "keep");

    EXPECT_FALSE(ReplaceTextFile(target, "new text"));
    EXPECT_EQ(ReadBytes(folder.File("busy/inside")), "keep");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"busy"});
}

} // namespace
