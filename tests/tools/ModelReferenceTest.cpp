// The model references that info and render take: --model, --skin and --ramp, paths through PAK
// and zip archives, and the skin found from the model's header.

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "ToolRunner.h"
#include "support/ArchiveWriter.h"
#include "support/TempDir.h"

namespace {

const std::string kData = LUMIVOX_SOURCE_DIR "/Data/";

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bundled model with `names` as its header's skin names (the blocks after them move along).
std::string ModelNamingSkins(const std::vector<std::string>& names) {
    std::string md2 = ReadWhole(kData + "ex1.md2");
    std::int32_t header[17];
    std::memcpy(header, md2.data(), sizeof header);
    std::string skins;
    for (const std::string& name : names)
        skins += name + std::string(64 - name.size(), '\0');
    header[5] = static_cast<std::int32_t>(names.size());
    header[11] = 68;
    for (int field = 12; field <= 16; ++field)
        header[field] += static_cast<std::int32_t>(skins.size());
    std::memcpy(md2.data(), header, sizeof header);
    return md2.substr(0, 68) + skins + md2.substr(68);
}

class ModelReferenceTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path() / "baseq2/models/hero");
        WriteArchiveFile(Loose("tris.md2"), model);
        WriteArchiveFile(Loose("hero.jpg"), skin);
    }
    std::string Loose(const std::string& name) const { return dir.File("baseq2/models/hero/" + name); }

    // Renders with the overlay off (its frame rate changes from run to run); the PNG's bytes.
    std::string Render(const std::string& arguments) {
        const std::string out = dir.File("shot" + std::to_string(shots++) + ".png");
        const ToolResult r =
            RunTool("render --size 200x160 --frames 2 --set showText=0 --ramp " +
                    Quoted(kData + "catoon.jpg") + " " + arguments + " --out " + Quoted(out));
        EXPECT_EQ(r.exitStatus, 0) << arguments << ": " << r.out;
        return ReadWhole(out);
    }

    TempDir dir;
    int shots = 0;
    std::string model = ModelNamingSkins({"models/hero/hero.pcx"}); // found as hero.jpg
    std::string skin = ReadWhole(kData + "ex1.jpg");
};

} // namespace

TEST_F(ModelReferenceTest, TheSkinFoundFromTheHeaderDrawsLikeTheSkinGiven) {
    const std::string found = Render("--model " + Quoted(Loose("tris.md2")));
    const std::string given =
        Render("--model " + Quoted(Loose("tris.md2")) + " --skin " + Quoted(Loose("hero.jpg")));
    const std::string other =
        Render("--model " + Quoted(Loose("tris.md2")) + " --skin " + Quoted(kData + "catoon.jpg"));
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found, given);
    EXPECT_NE(found, other);

    const ToolResult info = RunTool("info --model " + Quoted(Loose("tris.md2")));
    EXPECT_EQ(info.exitStatus, 0);
    EXPECT_NE(info.out.find("\"skins\": [\"models/hero/hero.pcx\"], \"skin\": \"" + Loose("hero.jpg") + "\""),
              std::string::npos)
        << info.out;
}

TEST_F(ModelReferenceTest, AModelInsideAPakOrPk3DrawsLikeTheLooseFiles) {
    const ArchiveEntries entries = {{"models/hero/tris.md2", model}, {"models/hero/hero.jpg", skin}};
    WriteArchiveFile(dir.File("pak0.pak"), MakePak(entries));
    ASSERT_TRUE(WriteZip(dir.File("pak1.pk3"), entries));
    const std::string loose = Render("--model " + Quoted(Loose("tris.md2")));
    EXPECT_EQ(Render("--model " + Quoted(dir.File("pak0.pak/models/hero/tris.md2"))), loose);
    EXPECT_EQ(Render("--model " + Quoted(dir.File("pak1.pk3/models/hero/tris.md2"))), loose);

    const ToolResult info = RunTool("info " + Quoted(dir.File("pak0.pak/models/hero/tris.md2")));
    EXPECT_EQ(info.exitStatus, 0);
    EXPECT_NE(info.out.find("\"skin\": \"" + dir.File("pak0.pak/models/hero/hero.jpg") + "\""),
              std::string::npos);
}

TEST_F(ModelReferenceTest, DamagedArchivesAreReportedAsErrors) {
    const std::string pak = MakePak({{"models/hero/tris.md2", model}});
    std::string damagedDirectory = pak;
    damagedDirectory[damagedDirectory.size() - 5] = '\x7F'; // the entry's length now runs past the end
    WriteArchiveFile(dir.File("cut.pak"), pak.substr(0, pak.size() - 30));
    WriteArchiveFile(dir.File("bad.pak"), damagedDirectory);
    WriteArchiveFile(dir.File("cut.pk3"), "PK\x03\x04 and nothing more");
    const std::pair<const char*, const char*> cases[] = {
        {"cut.pak", "Invalid PAK archive cut.pak: the directory lies outside the file (is it cut short?)"},
        {"bad.pak", "Invalid PAK archive bad.pak: entry 0 lies outside the file"},
        {"cut.pk3", "Invalid zip archive cut.pk3: "},
    };
    for (const auto& [archive, message] : cases) {
        const std::string path = Quoted(dir.File(std::string(archive) + "/models/hero/tris.md2"));
        for (const std::string& command : {"info " + path, "render --model " + path + " --out /dev/null"}) {
            const ToolResult r = RunTool(command);
            EXPECT_EQ(r.exitStatus, 1) << command;
            EXPECT_EQ(r.out.rfind(std::string("{\"error\": \"") + message, 0), 0u) << r.out;
        }
    }
}

TEST(ModelOptions, MisusedOptionsAreRefused) {
    for (const char* arguments :
         {"render --skin a.png", "render --model", "render --model a.md2 --model b.md2",
          "info --model a.md2 b.md2", "info --model a.md2 --skin a.png", "info"}) {
        const ToolResult r = RunTool(arguments);
        EXPECT_EQ(r.exitStatus, 1) << arguments;
        EXPECT_EQ(r.out.rfind("{\"error\": ", 0), 0u) << arguments << ": " << r.out;
    }
}
