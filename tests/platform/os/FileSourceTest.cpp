#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/os/ArchiveNames.h"
#include "platform/os/FileSource.h"
#include "support/ArchiveWriter.h"

namespace {

const ArchiveEntries kEntries = {{"models/tank/tris.md2", std::string("IDP2 model \0bytes", 17)},
                                 {"models/tank/skin.pcx", std::string(3000, 'p')},
                                 {"Pics/Colormap.PCX", "palette"}};

std::string Read(const std::string& path, FileStatus expected, std::string* problem = nullptr) {
    FileBytes bytes;
    std::string text;
    EXPECT_EQ(ReadFileBytes(path, bytes, text), expected) << path << ": " << text;
    if (problem)
        *problem = text;
    return bytes.size() ? std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())
                        : std::string();
}

class ArchiveKinds : public testing::TestWithParam<const char*> {
protected:
    std::string MakeArchive(const ArchiveEntries& entries) {
        const std::string path = folder.File(std::string("game/pak0.") + GetParam());
        std::filesystem::create_directories(folder.Path() / "game");
        if (std::string(GetParam()) == "pak")
            WriteArchiveFile(path, MakePak(entries));
        else
            EXPECT_TRUE(WriteZip(path, entries));
        return path;
    }
    TempFolder folder;
};

} // namespace

TEST_P(ArchiveKinds, PathsThroughTheArchiveReadItsEntries) {
    const std::string archive = MakeArchive(kEntries);
    EXPECT_EQ(Read(archive + "/models/tank/tris.md2", FileStatus::Read), kEntries[0].second);
    EXPECT_EQ(Read(archive + "/models/tank/skin.pcx", FileStatus::Read), kEntries[1].second);
    // Tidied and matched ignoring case when nothing matches exactly.
    EXPECT_EQ(Read(archive + "/models//tank/./../tank/skin.pcx", FileStatus::Read), kEntries[1].second);
    EXPECT_EQ(Read(archive + "/pics/colormap.pcx", FileStatus::Read), "palette");
    EXPECT_TRUE(FileExists(archive + "/models/tank/tris.md2"));

    Read(archive + "/models/tank/missing.pcx", FileStatus::Missing);
    Read(archive + "/../outside.pcx", FileStatus::Missing);
    Read(archive + "/", FileStatus::Missing);
    EXPECT_FALSE(FileExists(archive + "/models/tank"));
}

TEST_P(ArchiveKinds, DamagedArchivesAreReportedWithTheProblem) {
    const std::string archive = MakeArchive(kEntries);
    std::string bytes = ReadBytes(archive);
    WriteBytes(archive, bytes.substr(0, bytes.size() / 2)); // cut short: the directory is gone
    std::string problem;
    Read(archive + "/models/tank/tris.md2", FileStatus::Damaged, &problem);
    EXPECT_NE(problem.find(std::string("pak0.") + GetParam()), std::string::npos) << problem;
    EXPECT_FALSE(FileExists(archive + "/models/tank/tris.md2"));
}

INSTANTIATE_TEST_SUITE_P(PakAndZip, ArchiveKinds, testing::Values("pak", "pk3", "zip"));

TEST(PakArchive, EveryOffsetAndLengthOfTheDirectoryIsChecked) {
    TempFolder folder;
    const std::string good = MakePak(kEntries);
    const std::size_t directory = good.size() - 3 * 64;
    auto damaged = [&](std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const std::pair<std::string, const char*> cases[] = {
        {damaged(4, 0x7FFFFFF0), "directory lies outside"},    // directory offset past the end
        {damaged(8, 0xFFFFFFC0), "directory lies outside"},    // negative directory length
        {damaged(8, 3 * 64 - 1), "not a whole number"},        // directory length not in entries
        {damaged(directory + 64 + 56, 0x80000000), "entry 1"}, // negative entry offset
        {damaged(directory + 128 + 60, 0x10000), "entry 2"},   // entry runs past the end
        {std::string("PAC"), "PAK header"},                    // shorter than the header
        {"KCAP" + good.substr(4), "PAK header"},               // wrong magic
    };
    for (const auto& [bytes, expected] : cases) {
        WriteBytes(folder.File("pak0.pak"), bytes);
        std::string problem;
        Read(folder.File("pak0.pak") + "/models/tank/tris.md2", FileStatus::Damaged, &problem);
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
        EXPECT_EQ(problem.rfind("Invalid PAK archive pak0.pak: ", 0), 0u) << problem;
    }
}

TEST(ZipArchive, AnEntryWhoseDataIsDamagedIsRefused) {
    TempFolder folder;
    const std::string path = folder.File("skins.pk3");
    ASSERT_TRUE(WriteZip(path, {{"a.bin", std::string(5000, 'a') + std::string(5000, 'b')}}));
    std::string bytes = ReadBytes(path);
    const std::size_t data = 30 + 5 + 10; // local header, name, a few bytes into the deflated data
    bytes[data] = static_cast<char>(bytes[data] ^ 0x5A);
    WriteBytes(path, bytes);
    std::string problem;
    Read(path + "/a.bin", FileStatus::Damaged, &problem);
    EXPECT_EQ(problem.rfind("Invalid zip archive skins.pk3: a.bin: ", 0), 0u) << problem;
}

TEST(FileSource, PlainFilesAndFoldersThatAreNotArchives) {
    TempFolder folder;
    WriteBytes(folder.File("plain.bin"), "plain bytes");
    WriteBytes(folder.File("notes.txt"), "text");
    EXPECT_EQ(Read(folder.File("plain.bin"), FileStatus::Read), "plain bytes");
    EXPECT_TRUE(FileExists(folder.File("plain.bin")));
    Read(folder.File("missing/plain.bin"), FileStatus::Missing);
    Read(folder.File("notes.txt/inside"), FileStatus::Missing); // a file, but not an archive
    EXPECT_FALSE(FileExists(folder.Path().string()));           // a folder is not a file

    std::string archive, inner;
    EXPECT_FALSE(SplitArchivePath(folder.File("plain.bin"), archive, inner));
    WriteBytes(folder.File("x.PK3"), "");
    ASSERT_TRUE(SplitArchivePath(folder.File("x.PK3/a/b.md2"), archive, inner));
    EXPECT_EQ(archive, folder.File("x.PK3"));
    EXPECT_EQ(inner, "a/b.md2");
}
