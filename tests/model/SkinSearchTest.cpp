#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "MD2TestModels.h"
#include "model/SkinSearch.h"
#include "support/ArchiveWriter.h"
#include "support/TempDir.h"

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(LUMIVOX_FIXTURES) + "/images/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ModelBytes(const std::vector<std::string>& skins) {
    MD2WriterModel model = MakeTestModel({"stand01"});
    model.skins = skins;
    const std::vector<std::uint8_t> bytes = WriteMD2(model);
    return std::string(bytes.begin(), bytes.end());
}

class SkinSearchTest : public testing::Test {
protected:
    // <temp>/baseq2/models/tank/tris.md2
    std::string Put(const std::string& relative, const std::string& bytes) {
        const std::filesystem::path path = temp.Path() / relative;
        std::filesystem::create_directories(path.parent_path());
        WriteArchiveFile(path.string(), bytes);
        return path.string();
    }
    std::string Game() const { return temp.File("baseq2"); }
    std::string Folder() const { return Game() + "/models/tank"; }

    TempDir temp;
};

} // namespace

TEST_F(SkinSearchTest, CandidatesFollowTheHeaderThenTheModelsName) {
    const std::string model = Put("baseq2/models/tank/tris.md2",
                                  ModelBytes({"models/tank/skin.pcx", ".plating", "./paint/red.tga"}));
    const std::vector<std::string> expected = {
        Game() + "/models/tank/skin.pcx", Game() + "/models/tank/skin.png",
        Game() + "/models/tank/skin.jpg", Game() + "/models/tank/skin.jpeg",
        Game() + "/models/tank/skin.tga", Game() + "/models/tank/skin.bmp",
        Game() + "/models/tank/skin.dds", Folder() + "/plating.png",
        Folder() + "/plating.jpg",        Folder() + "/plating.jpeg",
        Folder() + "/plating.tga",        Folder() + "/plating.bmp",
        Folder() + "/plating.pcx",        Folder() + "/plating.dds",
        Folder() + "/./paint/red.tga",    Folder() + "/./paint/red.png",
        Folder() + "/./paint/red.jpg",    Folder() + "/./paint/red.jpeg",
        Folder() + "/./paint/red.bmp",    Folder() + "/./paint/red.pcx",
        Folder() + "/./paint/red.dds",    Folder() + "/tris.png",
        Folder() + "/tris.jpg",           Folder() + "/tris.jpeg",
        Folder() + "/tris.tga",           Folder() + "/tris.bmp",
        Folder() + "/tris.pcx",           Folder() + "/tris.dds"};
    EXPECT_EQ(ModelSkinCandidates(model), expected);
}

TEST_F(SkinSearchTest, TheFirstCandidateThatDecodesWins) {
    const std::string model =
        Put("baseq2/models/tank/tris.md2", ModelBytes({"models/tank/skin.pcx", ".plating"}));
    EXPECT_EQ(FindModelSkin(model), "");

    Put("baseq2/models/tank/tris.png", Fixture("png-rgb8.png"));
    EXPECT_EQ(FindModelSkin(model), Folder() + "/tris.png");
    Put("baseq2/models/tank/plating.jpg", Fixture("jpeg-colour.jpg"));
    EXPECT_EQ(FindModelSkin(model), Folder() + "/plating.jpg");
    // A file that is not an image is passed over: the next extension of the same name wins.
    Put("baseq2/models/tank/skin.pcx", "not an image");
    Put("baseq2/models/tank/skin.tga", Fixture("tga2.tga"));
    EXPECT_EQ(FindModelSkin(model), Game() + "/models/tank/skin.tga");
    Put("baseq2/models/tank/skin.pcx", Fixture("pcx8.pcx"));
    EXPECT_EQ(FindModelSkin(model), Game() + "/models/tank/skin.pcx");
}

TEST_F(SkinSearchTest, WithoutAModelsFolderNamesAreTakenFromTheModelsFolder) {
    const std::string model = Put("loose/tank.md2", ModelBytes({"skins/tank.pcx"}));
    Put("loose/skins/tank.pcx", Fixture("pcx24.pcx"));
    EXPECT_EQ(FindModelSkin(model), temp.File("loose/skins/tank.pcx"));
}

TEST_F(SkinSearchTest, InsideAnArchiveNamesStartAtTheArchiveRoot) {
    const std::string pak =
        Put("baseq2/pak0.pak", MakePak({{"models/tank/tris.md2", ModelBytes({"models/tank/skin.pcx"})},
                                        {"models/tank/skin.pcx", Fixture("pcx8.pcx")}}));
    EXPECT_EQ(FindModelSkin(pak + "/models/tank/tris.md2"), pak + "/models/tank/skin.pcx");

    const std::string pk3 = temp.File("baseq2/skins.pk3");
    ASSERT_TRUE(WriteZip(pk3, {{"models/tank/tris.md2", ModelBytes({".skin"})},
                               {"models/tank/skin.png", Fixture("png-rgb8.png")}}));
    EXPECT_EQ(FindModelSkin(pk3 + "/models/tank/tris.md2"), pk3 + "/models/tank/skin.png");
}

TEST(MD2SkinNames, ACountOrOffsetBeyondTheFileGivesNoNames) {
    const std::string good = ModelBytes({"a.pcx", "", "b.pcx"});
    const auto* data = reinterpret_cast<const std::uint8_t*>(good.data());
    EXPECT_EQ(MD2SkinNames(data, good.size()), (std::vector<std::string>{"a.pcx", "b.pcx"}));

    std::vector<std::uint8_t> damaged(good.begin(), good.end());
    Poke<std::int32_t>(damaged, offsetof(MD2Header, numSkins), 0x7FFFFFFF);
    EXPECT_TRUE(MD2SkinNames(damaged.data(), damaged.size()).empty());
    Poke<std::int32_t>(damaged, offsetof(MD2Header, numSkins), 3);
    Poke<std::int32_t>(damaged, offsetof(MD2Header, offsetSkins),
                       static_cast<std::int32_t>(good.size()) - 64);
    EXPECT_TRUE(MD2SkinNames(damaged.data(), damaged.size()).empty());
    Poke<std::int32_t>(damaged, offsetof(MD2Header, offsetSkins), -64);
    EXPECT_TRUE(MD2SkinNames(damaged.data(), damaged.size()).empty());
    EXPECT_TRUE(MD2SkinNames(damaged.data(), 40).empty());
}
