#include <cstring>
#include <gtest/gtest.h>

#include "model/MD2TestModels.h"
#include "platform/d3d9/Direct3D9.h"
#include "support/MessageRecorder.h"
#include "support/SettingsScope.h"
#include "support/TempDir.h"
#include "support/TestDevice.h"

namespace {

class SceneModelTest : public ::testing::Test {
protected:
    TempDir dir;
    MessageRecorder recorder;
    SettingsScope scope;
    TestDevice device;
    ModelFile parameters = WriteTestModelFile(dir.File("m.md2"));
};

TEST_F(SceneModelTest, ASceneReplacesItsModelAndReleasesTheOldTextures) {
    Scene& scene = scope.scene;
    scene.modelFile = parameters;
    scene.displayMode.Format = D3DFMT_X8R8G8B8;
    scene.InitData(device.get());
    IDirect3DTexture9* firstSkin = scene.model->skinTexture;
    ASSERT_NE(firstSkin, nullptr);
    firstSkin->AddRef();
    scene.InitData(device.get());
    EXPECT_EQ(firstSkin->Release(), 0u); // only our reference was left
    EXPECT_NE(scene.model->skinTexture, nullptr);
}

} // namespace
