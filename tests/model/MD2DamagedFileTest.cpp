#include <gtest/gtest.h>
#include <random>

#include "MD2TestModels.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

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
