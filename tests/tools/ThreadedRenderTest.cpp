// The pictures of `render` do not depend on how many threads the device draws with.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "ToolRunner.h"
#include "support/TempDir.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(RenderCommand, DrawsTheSamePicturesWithAnyNumberOfThreads) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Data");
    for (const char* name : {"ex1.md2", "ex1.jpg", "catoon.jpg"})
        std::filesystem::copy_file(LUMIVOX_SOURCE_DIR "/Data/" + std::string(name),
                                   dir.Path() / "Data" / name);
    // The overlay is off: its first line is the measured frame rate.
    const std::string common = "render --frames 3 --time-ms 1000 --step-ms 33 --set showText=0 ";
    const char* settings[] = {
        "",
        "--set activeCamera=1",
        "--set wireframe=1",
        "--set showNormals=1 --set inverseNormals=1",
        "--set lighting=0 --set applyOffsetY=0 --set modelAngle=0.7",
        "--size 1920x1080 --set activeCamera=1",
        "--size 3840x2160",
        "--size 1920x1080 --set wireframe=1 --set lightPosition.x=1.5 --set worldScale=14",
    };
    for (const char* setting : settings) {
        std::string pictures[3];
        const char* threads[3] = {"1", "2", "4"};
        for (int i = 0; i < 3; ++i) {
            const std::string out = dir.File(std::string("shot") + threads[i] + ".png");
            const std::string prefix =
                "cd " + Quoted(dir.Path().string()) + " && LUMIVOX_THREADS=" + threads[i] + " ";
            const ToolResult r = RunTool(common + setting + " --out " + Quoted(out), prefix);
            ASSERT_EQ(r.exitStatus, 0) << setting << ": " << r.out;
            pictures[i] = ReadBytes(out);
            ASSERT_FALSE(pictures[i].empty()) << setting;
        }
        EXPECT_TRUE(pictures[1] == pictures[0]) << "two threads, " << setting;
        EXPECT_TRUE(pictures[2] == pictures[0]) << "four threads, " << setting;
    }
}

} // namespace
