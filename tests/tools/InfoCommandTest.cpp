#include <gtest/gtest.h>
#include <random>

#include "ToolRunner.h"
#include "model/MD2Writer.h"
#include "support/TempDir.h"

namespace {

MD2WriterModel TwoBlockModel(const std::vector<std::string>& names) {
    MD2WriterModel model;
    model.vertexCount = 3;
    model.texCoords = {{0, 0}, {1, 1}, {2, 2}};
    model.triangles = {{{0, 1, 2}, {0, 1, 2}}};
    for (const std::string& name : names) {
        MD2WriterFrame frame;
        frame.translate = {0.0f, 0.0f, -3.5f};
        frame.name = name;
        frame.vertices = {{{0, 0, 0}, 0}, {{1, 0, 0}, 0}, {{0, 1, 2}, 0}};
        model.frames.push_back(frame);
    }
    return model;
}

TEST(InfoCommand, PrintsCountsBlocksAndFrameNames) {
    TempDir dir;
    const std::string file = dir.File("m.md2");
    WriteFileBytes(file, WriteMD2(TwoBlockModel({"stand01", "stand02", "stand03", "run01", "run02"})));
    const ToolResult r = RunTool("info " + Quoted(file));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out,
              "{\"triangles\": 1, \"vertices\": 3, \"frames\": 5, \"blockCount\": 2, \"offsetY\": -3.5, "
              "\"blocks\": [{\"name\": \"stand01\", \"first\": 0, \"last\": 2}, "
              "{\"name\": \"run01\", \"first\": 3, \"last\": 4}], "
              "\"frameNames\": [\"stand01\", \"stand02\", \"stand03\", \"run01\", \"run02\"], "
              "\"skins\": [], \"skin\": \"\"}\n");
}

TEST(InfoCommand, NamesThatAreNotTextAreEscaped) {
    TempDir dir;
    const std::string file = dir.File("odd.md2");
    WriteFileBytes(file, WriteMD2(TwoBlockModel({"a\"\xff\x01", "\xea\xb1\xb8\x65"})));
    const ToolResult r = RunTool("info " + Quoted(file));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("\"a\\\"\\u00ff\\u0001\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"\xea\xb1\xb8\x65\""), std::string::npos) << r.out;
}

TEST(InfoCommand, BadFilesPrintAnErrorAndExitWithOne) {
    TempDir dir;
    const std::vector<std::uint8_t> good = WriteMD2(TwoBlockModel({"a01", "a02"}));

    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 100);
    std::vector<std::uint8_t> random(300);
    std::mt19937 generator(7);
    for (auto& b : random)
        b = static_cast<std::uint8_t>(generator());
    std::vector<std::uint8_t> hugeCount = good;
    hugeCount[40] = 0xFF, hugeCount[41] = 0xFF, hugeCount[42] = 0xFF, hugeCount[43] = 0x7F;
    std::vector<std::uint8_t> badIndex = good;
    badIndex[68 + 12 + 2] = 9;

    for (const auto& bytes : {truncated, random, hugeCount, badIndex}) {
        const std::string file = dir.File("bad.md2");
        WriteFileBytes(file, bytes);
        const ToolResult r = RunTool("info " + Quoted(file));
        EXPECT_EQ(r.exitStatus, 1);
        EXPECT_EQ(r.out.rfind("{\"error\": \"", 0), 0u) << r.out;
    }
    const ToolResult missing = RunTool("info " + Quoted(dir.File("none.md2")));
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "{\"error\": \"Could not find Load_MD2_File\"}\n");
}

} // namespace
