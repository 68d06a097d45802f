#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "MD2TestModels.h"
#include "gfxutil/math/D3DXMath.h"
#include "model/MD2Normals.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

class MD2ReaderTest : public ::testing::Test {
protected:
    HRESULT Read(const std::vector<std::uint8_t>& bytes) { return ReadModelBytes(model, dir.File("m.md2"), bytes); }
    HRESULT ReadNames(const std::vector<std::string>& names) { return Read(WriteMD2(MakeTestModel(names))); }

    std::vector<int> Links() const {
        std::vector<int> links;
        for (const FrameRecord& f : model.frames)
            links.push_back(f.link);
        return links;
    }

    TempDir dir;
    MessageRecorder recorder;
    MD2Model model;
};

TEST_F(MD2ReaderTest, StandAndRunFormTwoBlocksWithTheirLinks) {
    ASSERT_EQ(ReadNames({"stand01", "stand02", "stand03", "run01", "run02"}), S_OK);
    EXPECT_EQ(Links(), (std::vector<int>{2, 2, 0, 4, 3}));
    EXPECT_EQ(model.blockCount, 2);
    EXPECT_EQ(model.blockStarts, (std::vector<int>{0, 3}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(model.frames[i].index, i);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MD2ReaderTest, BlockBoundariesFollowTheOpenBlockRules) {
    ASSERT_EQ(ReadNames({"solo01"}), S_OK);
    EXPECT_EQ(Links(), (std::vector<int>{0}));
    EXPECT_EQ(model.blockCount, 1);
    EXPECT_EQ(model.blockStarts, (std::vector<int>{0}));

    MD2Model oneThenTwo;
    ASSERT_EQ(ReadModelBytes(oneThenTwo, dir.File("b.md2"), WriteMD2(MakeTestModel({"a01", "b01", "b02"}))), S_OK);
    EXPECT_EQ(oneThenTwo.frames[0].link, 0);
    EXPECT_EQ(oneThenTwo.frames[1].link, 2);
    EXPECT_EQ(oneThenTwo.frames[2].link, 1);
    EXPECT_EQ(oneThenTwo.blockCount, 2);
    EXPECT_EQ(oneThenTwo.blockStarts, (std::vector<int>{0, 1}));

    // The last frame always closes the open block, whatever its name.
    MD2Model lastJoins;
    ASSERT_EQ(ReadModelBytes(lastJoins, dir.File("c.md2"), WriteMD2(MakeTestModel({"a01", "a02", "b01"}))), S_OK);
    EXPECT_EQ(lastJoins.frames[0].link, 2);
    EXPECT_EQ(lastJoins.frames[1].link, 2);
    EXPECT_EQ(lastJoins.frames[2].link, 0);
    EXPECT_EQ(lastJoins.blockCount, 1);
    EXPECT_EQ(lastJoins.blockStarts, (std::vector<int>{0}));
}

TEST_F(MD2ReaderTest, ShortNamesGiveEmptyBlockNamesAndCaseMatters) {
    ASSERT_EQ(ReadNames({"a", "bb", "c", "x01", "x02"}), S_OK);
    EXPECT_EQ(model.blockCount, 2); // "a", "bb", "c" share the empty block name
    EXPECT_EQ(model.blockStarts, (std::vector<int>{0, 3}));
    EXPECT_EQ(Links(), (std::vector<int>{2, 2, 0, 4, 3}));

    MD2Model mixedCase;
    ASSERT_EQ(ReadModelBytes(mixedCase, dir.File("c.md2"), WriteMD2(MakeTestModel({"Run01", "run02", "x01"}))), S_OK);
    EXPECT_EQ(mixedCase.blockCount, 2);
    EXPECT_EQ(mixedCase.blockStarts, (std::vector<int>{0, 1}));
}

TEST_F(MD2ReaderTest, ANameThatComesBackLaterStartsANewBlock) {
    ASSERT_EQ(ReadNames({"a01", "a02", "b01", "b02", "a03", "a04"}), S_OK);
    EXPECT_EQ(model.blockCount, 3);
    EXPECT_EQ(model.blockStarts, (std::vector<int>{0, 2, 4}));
}

TEST_F(MD2ReaderTest, FramesExpandToCornersInTriangleOrder) {
    ASSERT_EQ(ReadNames({"pose01", "pose02"}), S_OK);
    EXPECT_EQ(model.triangleCount, 2);
    ASSERT_EQ(model.texCoords.size(), 4u);
    ASSERT_EQ(model.triangles.size(), 2u);
    const ModelVertex* v = model.frames[1].vertices.get();
    // Triangle 1, corner 2 is packed vertex 3 (0, 0, 10) with texture coordinate (16, 32).
    const ModelVertex& corner = v[5];
    EXPECT_FLOAT_EQ(corner.x, 0.0f);
    EXPECT_FLOAT_EQ(corner.y, 0.0f);
    EXPECT_FLOAT_EQ(corner.z, 10.0f - 1.0f);
    EXPECT_FLOAT_EQ(corner.u, 16.0f / 64.0f);
    EXPECT_FLOAT_EQ(corner.v, 32.0f / 32.0f);
    EXPECT_FLOAT_EQ(v[1].x, 10.0f);
    EXPECT_FLOAT_EQ(v[1].u, 1.0f);
    const float length = std::sqrt(corner.nx * corner.nx + corner.ny * corner.ny + corner.nz * corner.nz);
    EXPECT_NEAR(length, 1.0f, 1e-5f);
}

TEST_F(MD2ReaderTest, NormalsAreScaledByTheFrameThenNormalised) {
    MD2WriterModel m = MakeTestModel({"s01"});
    m.frames[0].scale = {2.0f, 1.0f, 1.0f};
    for (auto& p : m.frames[0].vertices)
        p.normalIndex = 0;
    ASSERT_EQ(Read(WriteMD2(m)), S_OK);
    D3DXVECTOR3 expected(2.0f * MD2Normals[0][0], MD2Normals[0][1], MD2Normals[0][2]);
    D3DXVec3Normalize(&expected, &expected);
    const ModelVertex& v = model.frames[0].vertices[0];
    EXPECT_FLOAT_EQ(v.nx, expected.x);
    EXPECT_FLOAT_EQ(v.ny, expected.y);
    EXPECT_FLOAT_EQ(v.nz, expected.z);
    EXPECT_NEAR(v.nx, -1.051462f / std::sqrt(1.051462f * 1.051462f + 0.850651f * 0.850651f), 1e-5f);
}

TEST_F(MD2ReaderTest, NormalIndexBeyondTheTableGetsTheUpDirection) {
    MD2WriterModel m = MakeTestModel({"s01"});
    m.frames[0].scale = {1.0f, 1.0f, -3.0f}; // the frame's scale still applies
    m.frames[0].vertices[0].normalIndex = 200;
    ASSERT_EQ(Read(WriteMD2(m)), S_OK);
    const ModelVertex& v = model.frames[0].vertices[0];
    // The processor's reciprocal square root is an estimate that differs between makers, so the
    // unit length is compared to within a few units in the last place.
    EXPECT_EQ(v.nx, 0.0f);
    EXPECT_EQ(v.ny, 0.0f);
    EXPECT_FLOAT_EQ(v.nz, -1.0f);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MD2ReaderTest, LowestPointIsTakenOverAllFrames) {
    MD2WriterModel m = MakeTestModel({"a01", "a02", "a03"});
    m.frames[2].translate = {0.0f, 0.0f, -24.5f};
    ASSERT_EQ(Read(WriteMD2(m)), S_OK);
    EXPECT_FLOAT_EQ(model.offsetY, -24.5f);
}

TEST_F(MD2ReaderTest, ZeroFramesLoadAsAnEmptyBlockList) {
    ASSERT_EQ(ReadNames({}), S_OK);
    EXPECT_TRUE(model.frames.empty());
    EXPECT_EQ(model.blockCount, 1);
    EXPECT_TRUE(model.blockStarts.empty());
    EXPECT_EQ(model.offsetY, 9999.0f);
}

TEST_F(MD2ReaderTest, WrongMagicOrVersionFailsSilently) {
    std::vector<std::uint8_t> bytes = WriteMD2(MakeTestModel({"a01"}));
    Poke<std::int32_t>(bytes, 4, 7);
    EXPECT_EQ(Read(bytes), E_FAIL);
    Poke<std::int32_t>(bytes, 4, 8);
    bytes[0] = 'X';
    EXPECT_EQ(Read(bytes), E_FAIL);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(model.frames.empty());
}

TEST_F(MD2ReaderTest, MissingFileShowsItsMessage) {
    std::strcpy(model.md2Path, dir.File("nothing.md2").c_str());
    EXPECT_EQ(model.ReadFile(), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Could not find Load_MD2_File");
    EXPECT_EQ(recorder.messages[0].caption, "Loading_error");
}

TEST_F(MD2ReaderTest, ShortTextureCoordinateBlockLeavesTheRestZero) {
    MD2WriterModel m = MakeTestModel({"a01"});
    std::vector<std::uint8_t> bytes = WriteMD2(m);
    // Declare six coordinates while the block still holds four.
    Poke<std::int32_t>(bytes, 28, 6);
    ASSERT_EQ(Read(bytes), S_OK);
    ASSERT_EQ(model.texCoords.size(), 6u);
    EXPECT_EQ(model.texCoords[3].s, 16);
    EXPECT_EQ(model.texCoords[4].s, 0);
    EXPECT_EQ(model.texCoords[5].t, 0);
}

TEST_F(MD2ReaderTest, FrameNameGivesTheNameAndFollowsTheLink) {
    ASSERT_EQ(ReadNames({"stand01", "stand02", "stand03", "run01", "run02"}), S_OK);
    char name[32];
    int index = 3;
    model.FrameName(name, index);
    EXPECT_STREQ(name, "run01");
    EXPECT_EQ(index, 4);
    index = 7;
    model.FrameName(name, index);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(index, 7);
}

TEST_F(MD2ReaderTest, SixteenCharacterNamesAreKeptWhole) {
    ASSERT_EQ(ReadNames({"abcdefghijklmn01", "abcdefghijklmn02"}), S_OK);
    char name[32];
    int index = 0;
    model.FrameName(name, index);
    EXPECT_STREQ(name, "abcdefghijklmn01"); // no NUL inside the stored 16 bytes
}

TEST_F(MD2ReaderTest, ReleaseEmptiesTheModel) {
    ASSERT_EQ(ReadNames({"a01", "a02"}), S_OK);
    model.Release();
    EXPECT_TRUE(model.frames.empty());
    EXPECT_TRUE(model.triangles.empty());
    EXPECT_TRUE(model.texCoords.empty());
    EXPECT_TRUE(model.blockStarts.empty());
    for (char c : model.md2Path)
        ASSERT_EQ(c, '\0');
}

TEST(MD2ReaderNullFile, ReadFrameWithoutAFileDoesNothing) {
    MD2Model model;
    EXPECT_EQ(model.ReadFrame(0, nullptr), 0);
}

} // namespace
