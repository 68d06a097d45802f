#include <cstring>
#include <gtest/gtest.h>

#include "MD2TestModels.h"
#include "platform/d3d9/Direct3D9.h"
#include "support/MessageRecorder.h"
#include "support/RenderSettingsScope.h"
#include "support/TempDir.h"
#include "support/TestDevice.h"

namespace {

class MD2LoadTest : public ::testing::Test {
protected:
    TempDir dir;
    MessageRecorder recorder;
    RenderSettingsScope scope;
    TestDevice device;
    ModelFile parameters = WriteTestModelFile(dir.File("m.md2"));
};

TEST_F(MD2LoadTest, LoadsTheFileAndBothTexturesAndSetsTheInterval) {
    MD2Model model;
    EXPECT_EQ(model.Load(device.get(), parameters), S_OK);
    EXPECT_EQ(model.FrameCount(), 2);
    EXPECT_NE(model.skinTexture, nullptr);
    EXPECT_NE(model.cartoonTexture, nullptr);
    EXPECT_FLOAT_EQ(scope.settings.frameInterval, 33.333332f);
    EXPECT_EQ(device.RenderState(D3DRS_COLORVERTEX), static_cast<DWORD>(TRUE));
    EXPECT_TRUE(recorder.messages.empty());
    model.Release();
    EXPECT_EQ(model.skinTexture, nullptr);
    EXPECT_EQ(model.cartoonTexture, nullptr);

    parameters.speed = 1;
    MD2Model slow;
    slow.Load(device.get(), parameters);
    EXPECT_EQ(scope.settings.frameInterval, 1000.0f);
    slow.Release();
}

TEST_F(MD2LoadTest, AMissingSkinGivesOneMessageAndNoRamp) {
    std::strcpy(parameters.texturePath, dir.File("none.jpg").c_str());
    MD2Model model;
    EXPECT_EQ(model.Load(device.get(), parameters), S_OK);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Could not find Texture");
    EXPECT_EQ(recorder.messages[0].caption, "Texture loading error");
    EXPECT_EQ(model.skinTexture, nullptr);
    EXPECT_EQ(model.cartoonTexture, nullptr);
    EXPECT_EQ(model.FrameCount(), 2);
}

TEST_F(MD2LoadTest, AMissingRampKeepsTheSkin) {
    std::strcpy(parameters.cartoonPath, dir.File("none.jpg").c_str());
    MD2Model model;
    EXPECT_EQ(model.Load(device.get(), parameters), S_OK);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Could not find CatoonTexture");
    EXPECT_EQ(recorder.messages[0].caption, "CTexture loading error");
    EXPECT_NE(model.skinTexture, nullptr);
    EXPECT_EQ(model.cartoonTexture, nullptr);
    model.Release();
}

TEST_F(MD2LoadTest, AFailedReadLeavesAnEmptyModelWithAZeroPath) {
    std::strcpy(parameters.md2Path, dir.File("none.md2").c_str());
    MD2Model model;
    EXPECT_EQ(model.Load(device.get(), parameters), E_FAIL);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Could not find Load_MD2_File");
    EXPECT_TRUE(model.frames.empty());
    EXPECT_EQ(model.triangleCount, 0);
    EXPECT_EQ(model.skinTexture, nullptr);
    for (char c : model.md2Path)
        ASSERT_EQ(c, '\0');
}

} // namespace
