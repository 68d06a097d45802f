#include <gtest/gtest.h>

#include "MD2TestModels.h"
#include "support/ArchiveWriter.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

class MD2ArchiveLoadTest : public testing::Test {
protected:
    HRESULT Read(MD2Model& model, const std::string& path) {
        std::strcpy(model.md2Path, path.c_str());
        return model.ReadFile();
    }

    TempDir dir;
    MessageRecorder recorder;
    std::vector<std::uint8_t> md2 = WriteMD2(MakeTestModel({"run01", "run02", "pain01"}));
    std::string md2Text{md2.begin(), md2.end()};
};

void ExpectSameModel(const MD2Model& a, const MD2Model& b) {
    ASSERT_EQ(a.FrameCount(), b.FrameCount());
    EXPECT_EQ(a.blockStarts, b.blockStarts);
    EXPECT_EQ(a.offsetY, b.offsetY);
    const std::size_t corners = a.triangles.size() * 3;
    for (int f = 0; f < a.FrameCount(); ++f)
        EXPECT_EQ(std::memcmp(a.frames[f].vertices.get(), b.frames[f].vertices.get(),
                              corners * sizeof(ModelVertex)),
                  0);
}

} // namespace

TEST_F(MD2ArchiveLoadTest, AModelInsideAPakOrZipReadsLikeTheLooseFile) {
    MD2Model loose, packed, zipped;
    WriteFileBytes(dir.File("tris.md2"), md2);
    WriteArchiveFile(dir.File("pak0.pak"), MakePak({{"readme.txt", "x"}, {"models/tank/tris.md2", md2Text}}));
    ASSERT_TRUE(WriteZip(dir.File("pak1.pk3"), {{"models/tank/tris.md2", md2Text}}));
    ASSERT_EQ(Read(loose, dir.File("tris.md2")), S_OK);
    ASSERT_EQ(Read(packed, dir.File("pak0.pak/models/tank/tris.md2")), S_OK);
    ASSERT_EQ(Read(zipped, dir.File("pak1.pk3/models/tank/tris.md2")), S_OK);
    ExpectSameModel(loose, packed);
    ExpectSameModel(loose, zipped);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MD2ArchiveLoadTest, AMissingEntryIsAMissingFileAndADamagedArchiveIsNamed) {
    WriteArchiveFile(dir.File("pak0.pak"), MakePak({{"models/tank/tris.md2", md2Text}}));
    MD2Model model;
    EXPECT_EQ(Read(model, dir.File("pak0.pak/models/tank/other.md2")), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Could not find Load_MD2_File");

    const std::string whole = MakePak({{"models/tank/tris.md2", md2Text}});
    WriteArchiveFile(dir.File("pak0.pak"), whole.substr(0, whole.size() - 10)); // cut short
    EXPECT_EQ(Read(model, dir.File("pak0.pak/models/tank/tris.md2")), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].caption, "Loading_error");
    EXPECT_EQ(recorder.messages[1].text,
              "Invalid PAK archive pak0.pak: the directory lies outside the file (is it cut short?)");
    EXPECT_TRUE(model.frames.empty());
}
