#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "ToolRunner.h"
#include "support/TempDir.h"

namespace {

const std::string kData = LUMIVOX_SOURCE_DIR "/Data/";

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool IsPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    return file && std::string(signature + 1, 3) == "PNG";
}

TEST(ImageCommand, DescribesTheSkinAndWritesItsTexture) {
    TempDir dir;
    const std::string out = dir.File("skin.png");
    const ToolResult r = RunTool("image " + Quoted(kData + "ex1.jpg") + " --out " + Quoted(out));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out,
              "{\"width\": 256, \"height\": 256, \"depth\": 1, \"mipLevels\": 1, \"format\": 22, "
              "\"formatName\": \"X8R8G8B8\", \"resourceType\": \"TEXTURE\", \"imageFileFormat\": \"JPG\"}\n");
    EXPECT_TRUE(IsPng(out));
}

TEST(ImageCommand, RefusesWhatIsNotAnImage) {
    TempDir dir;
    const std::string junk = dir.File("junk.bmp");
    std::ofstream(junk) << "0123456789";
    for (const std::string& arguments :
         {"image " + Quoted(junk), "image " + Quoted(dir.File("none.png")),
          "image " + Quoted(kData + "ex1.jpg") + " --level 40", std::string("image")}) {
        const ToolResult r = RunTool(arguments);
        EXPECT_EQ(r.exitStatus, 1) << arguments;
        EXPECT_EQ(r.out.rfind("{\"error\": ", 0), 0u) << r.out;
    }
}

TEST(RenderCommand, WritesThePictureAtTheAskedSize) {
    TempDir dir;
    const std::string out = dir.File("shot.png");
    const ToolResult r = RunTool("render --size 320x240 --frames 2 --set wireframe=1 --out " + Quoted(out));
    EXPECT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_NE(r.out.find("\"width\": 320"), std::string::npos);
    EXPECT_TRUE(IsPng(out));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(LUMIVOX_BINARY_DIR) / "tests" / "Data" /
                                         "MD2DATA.ini"));
}

TEST(RenderCommand, SmoothMotionDrawsBetweenKeyFramesOnly) {
    TempDir dir;
    std::filesystem::copy(kData, dir.Path() / "Data");
    // The model steps every 33 ms from time 0; a picture 16 ms in lies between two key frames.
    const auto shot = [&](const std::string& name, const std::string& timeMs, const std::string& extra) {
        const std::string out = dir.File(name);
        const ToolResult r = RunTool("render --size 160x120 --time-ms " + timeMs + " --set showText=0 " +
                                         extra + " --out " + out,
                                     "cd " + Quoted(dir.Path().string()) + " && ");
        EXPECT_EQ(r.exitStatus, 0) << r.out;
        return ReadFile(out);
    };
    const std::string stepped = shot("stepped.png", "16", "");
    EXPECT_FALSE(stepped.empty());
    EXPECT_NE(shot("smooth.png", "16", "--set interpolate=1"), stepped);
    EXPECT_EQ(shot("off.png", "16", "--set interpolate=0"), stepped);
    // On a key frame's own time smooth motion draws the key frame itself.
    EXPECT_EQ(shot("key-smooth.png", "0", "--set interpolate=1"), shot("key.png", "0", ""));
}

TEST(RenderCommand, RefusesUnknownSettingsAndBadSizes) {
    for (const char* arguments :
         {"render --set nothing=1", "render --set wireframe=yes", "render --size 0x10", "render --frames"}) {
        const ToolResult r = RunTool(arguments);
        EXPECT_EQ(r.exitStatus, 1) << arguments;
        EXPECT_EQ(r.out.rfind("{\"error\": ", 0), 0u) << r.out;
    }
}

} // namespace
