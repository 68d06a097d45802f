// The pictures the tool makes to share: thumbnails for the desktop and exported animations.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <png.h>
#include <vector>

#include "ToolRunner.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kData = LUMIVOX_SOURCE_DIR "/Data/";

struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    std::uint8_t Alpha(int x, int y) const {
        return pixels[(static_cast<std::size_t>(y) * width + x) * 4 + 3];
    }
};

Rgba ReadPng(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    Rgba out;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return out;
    image.format = PNG_FORMAT_RGBA;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
        out.width = static_cast<int>(image.width);
        out.height = static_cast<int>(image.height);
    }
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The frames of an animated WebP: its ANMF chunks, read from the RIFF container.
int WebpFrames(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WEBP") != 0)
        return -1;
    int frames = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i)
            size = size << 8 | static_cast<std::uint8_t>(bytes[at + 4 + static_cast<std::size_t>(i)]);
        frames += bytes.compare(at, 4, "ANMF") == 0;
        at += 8 + size + (size & 1);
    }
    return frames;
}

bool IsError(const ToolResult& r) {
    return r.exitStatus == 1 && r.out.rfind("{\"error\": ", 0) == 0;
}

TEST(ThumbnailCommand, TheLongSideIsTheAskedSizeAroundAModelOnNothing) {
    TempDir dir;
    for (int size : {128, 256}) {
        const std::string out = dir.File("thumb" + std::to_string(size) + ".png");
        const ToolResult r = RunTool("thumbnail -s " + std::to_string(size) + " " +
                                     Quoted(kData + "ex1.md2") + " " + Quoted(out));
        ASSERT_EQ(r.exitStatus, 0) << r.out;
        const Rgba picture = ReadPng(out);
        // The sample character stands upright: taller than wide.
        EXPECT_EQ(picture.height, size);
        EXPECT_GT(picture.width, size / 4);
        EXPECT_LT(picture.width, size);
        EXPECT_EQ(picture.Alpha(0, 0), 0);
        EXPECT_EQ(picture.Alpha(picture.width - 1, picture.height - 1), 0);
        EXPECT_EQ(picture.Alpha(picture.width / 2, picture.height / 2), 0xFF); // the model's middle
    }
}

TEST(ThumbnailCommand, TheSkinIsTheImageBesideTheModelWithItsName) {
    TempDir dir;
    const auto thumbnail = [&](const std::string& model, const std::string& name) {
        const ToolResult r = RunTool("thumbnail -s 64 " + Quoted(model) + " " + Quoted(dir.File(name)));
        EXPECT_EQ(r.exitStatus, 0) << r.out;
        return ReadFile(dir.File(name));
    };
    fs::copy_file(kData + "ex1.md2", dir.Path() / "hero.md2");
    const std::string unskinned = thumbnail(dir.File("hero.md2"), "white.png");
    fs::copy_file(kData + "ex1.jpg", dir.Path() / "hero.jpg");
    const std::string skinned = thumbnail(dir.File("hero.md2"), "skinned.png");
    EXPECT_NE(skinned, unskinned);
    EXPECT_EQ(skinned, thumbnail(kData + "ex1.md2", "sample.png")); // ex1.jpg beside ex1.md2
}

TEST(ThumbnailCommand, RefusesBadRequestsAndWritesNothing) {
    TempDir dir;
    std::ofstream(dir.File("junk.md2")) << "IDP2 but nothing more";
    const std::string out = Quoted(dir.File("out.png"));
    for (const std::string& arguments :
         {"thumbnail -s 0 " + Quoted(kData + "ex1.md2") + " " + out,
          "thumbnail -s big " + Quoted(kData + "ex1.md2") + " " + out,
          "thumbnail " + Quoted(kData + "ex1.md2") + " " + out, "thumbnail -s 64 " + out,
          "thumbnail -s 64 " + Quoted(dir.File("none.md2")) + " " + out,
          "thumbnail -s 64 " + Quoted(dir.File("junk.md2")) + " " + out}) {
        EXPECT_TRUE(IsError(RunTool(arguments))) << arguments;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
              1); // junk.md2 only
}

class ExportCommand : public ::testing::Test {
protected:
    ToolResult Export(const std::string& extra) {
        return RunTool("export --model " + Quoted(kData + "ex1.md2") + " --size 160x120 " + extra);
    }
    TempDir dir;
};

TEST_F(ExportCommand, ANumberedNameGivesOnePngPerPictureEachTheNextFrame) {
    const ToolResult r = Export("--block run --frames 8 --out " + Quoted(dir.File("run%03d.png")));
    ASSERT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_NE(r.out.find("\"frames\": 8"), std::string::npos);
    std::string previous;
    for (int i = 1; i <= 8; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "run%03d.png", i);
        const Rgba picture = ReadPng(dir.File(name));
        EXPECT_EQ(picture.width, 160) << name;
        EXPECT_EQ(picture.height, 120) << name;
        const std::string bytes = ReadFile(dir.File(name));
        EXPECT_NE(bytes, previous) << name << " shows the same frame as the one before";
        previous = bytes;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 8);
}

TEST_F(ExportCommand, AWebpNameGivesOneAnimationWithAFramePerPicture) {
    const std::string out = dir.File("run.webp");
    const ToolResult r = Export("--block run01 --frames 8 --fps 12 --out " + Quoted(out));
    ASSERT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_EQ(WebpFrames(ReadFile(out)), 8);
    EXPECT_FALSE(fs::exists(out + ".partial"));
}

TEST_F(ExportCommand, WithoutACountOnePassThroughTheBlockIsExported) {
    ASSERT_EQ(Export("--block jump --out " + Quoted(dir.File("j%d.png"))).exitStatus, 0);
    EXPECT_TRUE(fs::exists(dir.File("j10.png"))); // the sample's jump has 10 frames
    EXPECT_FALSE(fs::exists(dir.File("j11.png")));
}

TEST_F(ExportCommand, SmoothMotionAddsPicturesBetweenKeyFrames) {
    // 60 pictures a second of a model playing 30 frames a second: every other picture lies between.
    ASSERT_EQ(Export("--fps 60 --frames 2 --out " + Quoted(dir.File("step%d.png"))).exitStatus, 0);
    ASSERT_EQ(Export("--fps 60 --frames 2 --set interpolate=1 --out " + Quoted(dir.File("smooth%d.png")))
                  .exitStatus,
              0);
    EXPECT_EQ(ReadFile(dir.File("step1.png")), ReadFile(dir.File("step2.png")));
    EXPECT_NE(ReadFile(dir.File("smooth1.png")), ReadFile(dir.File("smooth2.png")));
}

TEST_F(ExportCommand, RefusesBadRequestsAndWritesNothing) {
    const std::string model = " --model " + Quoted(kData + "ex1.md2");
    for (const std::string& arguments :
         {"export --out " + Quoted(dir.File("a%d.png")), "export" + model,
          "export" + model + " --out " + Quoted(dir.File("plain.png")),
          "export" + model + " --out " + Quoted(dir.File("a%s.png")),
          "export" + model + " --out " + Quoted(dir.File("a%d%d.png")),
          "export" + model + " --block swim --out " + Quoted(dir.File("a%d.png")),
          "export" + model + " --frames 0 --out " + Quoted(dir.File("a%d.png")),
          "export" + model + " --fps x --out " + Quoted(dir.File("a%d.png")),
          "export --model " + Quoted(dir.File("none.md2")) + " --out " + Quoted(dir.File("a.webp"))}) {
        const ToolResult r = RunTool(arguments);
        EXPECT_TRUE(IsError(r)) << arguments << " -> " << r.out;
    }
    EXPECT_NE(RunTool("export" + model + " --block swim --out " + Quoted(dir.File("a%d.png")))
                  .out.find("stand, run, jump"),
              std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

} // namespace
