#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "MD2TestModels.h"
#include "model/MD2FileCheck.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

std::vector<std::uint8_t> ReadFixtureBytes(const std::string& name) {
    std::ifstream in(std::string(LUMIVOX_FIXTURES) + "/md2/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::size_t kTrianglesCount = 32;
constexpr std::size_t kFrameCount = 40;
constexpr std::size_t kFrameOffset = 56;

class MD2DamagedFileTest : public ::testing::Test {
protected:
    HRESULT Read(const std::vector<std::uint8_t>& bytes) {
        recorder.messages.clear();
        return ReadModelBytes(model, dir.File("bad.md2"), bytes);
    }
    void ExpectRefusedWith(const std::string& text) {
        EXPECT_EQ(Read(bytes), E_FAIL);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].caption, "Loading_error");
        EXPECT_EQ(recorder.messages[0].text, text);
        ExpectEmpty();
    }
    void ExpectEmpty() const {
        EXPECT_TRUE(model.frames.empty());
        EXPECT_TRUE(model.triangles.empty());
        EXPECT_TRUE(model.texCoords.empty());
        EXPECT_TRUE(model.blockStarts.empty());
    }

    TempDir dir;
    MessageRecorder recorder;
    MD2Model model;
    std::vector<std::uint8_t> bytes = WriteMD2(MakeTestModel({"a01", "a02", "b01"}));
};

TEST_F(MD2DamagedFileTest, EveryTruncationIsRefusedAndLeavesTheModelEmpty) {
    const std::vector<std::uint8_t> whole = bytes;
    for (std::size_t length = 4; length < whole.size(); ++length) {
        bytes.assign(whole.begin(), whole.begin() + static_cast<long>(length));
        SCOPED_TRACE(length);
        EXPECT_EQ(Read(bytes), E_FAIL);
        ExpectEmpty();
        if (length >= 8) { // magic and version present: the problem is named
            EXPECT_EQ(recorder.messages.size(), 1u);
        }
    }
}

TEST_F(MD2DamagedFileTest, IndicesOutsideTheirArraysAreNamed) {
    Poke<std::uint16_t>(bytes, 68 + 16 + 12 + 2, 900); // triangle 1, vertex index 1
    ExpectRefusedWith("Invalid MD2 file: triangle 1 uses vertex 900 of 4");

    bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::uint16_t>(bytes, 68 + 16 + 6, 4); // triangle 0, texture index 0
    ExpectRefusedWith("Invalid MD2 file: triangle 0 uses texture coordinate 4 of 4");
}

TEST_F(MD2DamagedFileTest, CountsNoFileCouldHoldAreRefusedBeforeAllocating) {
    Poke<std::int32_t>(bytes, kTrianglesCount, 0x7FFFFFFF);
    EXPECT_EQ(Read(bytes), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_NE(recorder.messages[0].text.find("cannot fit"), std::string::npos);

    bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::int32_t>(bytes, kFrameCount, 1000000);
    EXPECT_EQ(Read(bytes), E_FAIL);
    EXPECT_EQ(recorder.messages.size(), 1u);

    bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::int32_t>(bytes, 24, 0x40000000); // vertices per frame
    EXPECT_EQ(Read(bytes), E_FAIL);
    EXPECT_EQ(recorder.messages.size(), 1u);
    ExpectEmpty();
}

// A file without frames still cannot promise more vertices than it holds: the reader would size
// its scratch buffer by them.
TEST_F(MD2DamagedFileTest, VertexCountsAreCheckedEvenWithoutFrames) {
    for (std::int32_t vertices : {0x7FFFFFFF, 300000000, 100}) {
        bytes = WriteMD2(MakeTestModel({}));
        Poke<std::int32_t>(bytes, 24, vertices);
        SCOPED_TRACE(vertices);
        ExpectRefusedWith("Invalid MD2 file: " + std::to_string(vertices) +
                          " vertex records cannot fit in a file of " + std::to_string(bytes.size()) +
                          " bytes");
    }
}

TEST_F(MD2DamagedFileTest, FramesNeedingMoreThanTheLimitAreRefusedNamingTheNeed) {
    MD2Header h{};
    h.numFrames = 5000;
    h.numTriangles = 5000;
    EXPECT_EQ(
        CheckMD2Memory(h, 300, kMD2MemoryCap),
        "The model is too large: 5000 frames of 5000 triangles need 2577 MB, more than the 1024 MB that may "
        "be used now");
    h.numTriangles = 1000; // 517 MB: within the cap, not within 300 MB available
    EXPECT_EQ(CheckMD2Memory(h, 300, kMD2MemoryCap), "");
    EXPECT_NE(CheckMD2Memory(h, 300, std::uint64_t{300} << 20).find("need 517 MB, more than the 300 MB"),
              std::string::npos);
    EXPECT_LE(MD2MemoryLimit(), kMD2MemoryCap);
    EXPECT_GT(MD2MemoryLimit(), 0u);

    // The whole path: a 280 KB file of 5000 frames of 5000 triangles is refused with its message.
    bytes = ReadFixtureBytes("regress/5000-frames-of-5000-triangles.md2");
    EXPECT_EQ(Read(bytes), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Loading_error");
    EXPECT_NE(recorder.messages[0].text.find("need 2577 MB"), std::string::npos);
    ExpectEmpty();
}

TEST(MD2MemoryLimit, MemAvailableIsReadFromMeminfo) {
    EXPECT_EQ(MemAvailableFromMeminfo("MemTotal:  16000 kB\nMemFree: 100 kB\nMemAvailable:    2048 kB\n"),
              std::uint64_t{2048} << 10);
    EXPECT_EQ(MemAvailableFromMeminfo("MemTotal:  16000 kB\n"), 0u);
    EXPECT_EQ(MemAvailableFromMeminfo("MemAvailable: lots\n"), 0u);
}

// Every file of the regression corpus (hand-made hostile headers and inputs fuzzing found) is
// refused or read without reading outside the file (the sanitizer build checks that).
TEST_F(MD2DamagedFileTest, RegressionCorpusIsRefusedOrReadCleanly) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(LUMIVOX_FIXTURES) + "/md2/regress")) {
        ++files;
        const std::string path = entry.path().string();
        std::snprintf(model.md2Path, sizeof model.md2Path, "%s", path.c_str());
        const HRESULT result = model.ReadFile();
        EXPECT_TRUE(result == S_OK || result == E_FAIL) << path;
        if (FAILED(result))
            ExpectEmpty();
    }
    EXPECT_GE(files, 3);
}

TEST_F(MD2DamagedFileTest, NegativeCountsAndMisplacedBlocksAreRefused) {
    Poke<std::int32_t>(bytes, kTrianglesCount, -5);
    ExpectRefusedWith("Invalid MD2 file: negative triangle count -5");

    bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::int32_t>(bytes, kFrameOffset, static_cast<std::int32_t>(bytes.size()) - 10);
    EXPECT_EQ(Read(bytes), E_FAIL);
    EXPECT_EQ(recorder.messages.size(), 1u);

    bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::int32_t>(bytes, 48, -100); // texture coordinates before the start of the file
    EXPECT_EQ(Read(bytes), E_FAIL);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(MD2DamagedFileTest, RandomHeadersAndBytesNeverReadOutsideTheFile) {
    std::mt19937 random(1234);
    const std::vector<std::uint8_t> whole = WriteMD2(MakeTestModel({"a01", "a02", "b01", "b02"}));
    for (int round = 0; round < 400; ++round) {
        bytes = whole;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = 8 + random() % (bytes.size() - 8);
            bytes[at] = static_cast<std::uint8_t>(random());
        }
        if (random() % 4 == 0)
            bytes.resize(8 + random() % (bytes.size() - 8));
        const HRESULT result = Read(bytes);
        if (FAILED(result)) {
            ExpectEmpty();
        } else {
            EXPECT_EQ(model.frames.size(), static_cast<std::size_t>(model.header.numFrames));
        }
    }
}

} // namespace
