#include <cstring>
#include <gtest/gtest.h>

#include "gfxutil/mesh/D3DX9Mesh.h"
#include "support/MessageRecorder.h"
#include "support/RecordingDevice.h"
#include "support/SettingsScope.h"
#include "support/TestDevice.h"

namespace {

using testsupport::RecordingDevice;

struct ScreenVertex {
    float x, y, z, rhw, u, v;
};
struct FloorVertex {
    float x, y, z, u, v, unused;
};

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class SceneDrawTest : public ::testing::Test {
protected:
    SceneDrawTest() {
        settings.device = &recorder;
        settings.viewWidth = 800.0f;
        settings.viewHeight = 600.0f;
        scene.displayMode.Format = D3DFMT_X8R8G8B8;
        std::strcpy(scene.modelFile.md2Path, "/nonexistent.md2");
        scene.InitData(&recorder);
        settings.SetupLighting();
        recorder.calls.clear();
        recorder.userDraws.clear();
        recorder.transforms.clear();
    }

    MessageRecorder messages;
    TestDevice device;
    RecordingDevice recorder{device.get()};
    SettingsScope scope;
    RenderSettings& settings = scope.settings;
    Scene& scene = scope.scene;
};

TEST(SceneGrid, HasTwentyFiveLinesAndColouredHalfAxes) {
    Scene scene;
    EXPECT_EQ(scene.grid.lineCount, 25);
    for (int v = 0; v < 40; ++v) {
        const LineVertex& p = scene.grid.vertices[v];
        EXPECT_EQ(p.color, 0xFF787878u);
        EXPECT_EQ(p.y, 0.0f);
        // Grey lines never run through x = 0 or z = 0.
        EXPECT_NE(v < 20 ? p.z : p.x, 0.0f);
    }
    EXPECT_EQ(scene.grid.vertices[40].x, -5.0f);
    EXPECT_EQ(scene.grid.vertices[43].x, 7.0f);
    EXPECT_EQ(scene.grid.vertices[43].color, 0xFFFF0000u);
    EXPECT_EQ(scene.grid.vertices[44].z, -5.0f);
    EXPECT_EQ(scene.grid.vertices[47].z, 7.0f);
    EXPECT_EQ(scene.grid.vertices[47].color, 0xFF0000FFu);
    EXPECT_EQ(scene.grid.vertices[49].y, 7.0f);
    EXPECT_EQ(scene.grid.vertices[49].color, 0xFF00FF00u);
}

TEST_F(SceneDrawTest, InitDataMakesTheShadowTargetAndTheMarker) {
    ASSERT_NE(scene.shadowTexture, nullptr);
    D3DSURFACE_DESC desc{};
    scene.shadowTexture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(desc.Height, 128u);
    EXPECT_EQ(desc.Usage & D3DUSAGE_RENDERTARGET, D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    ASSERT_NE(scene.shadowSurface, nullptr);
    ASSERT_NE(scene.savedBackBuffer, nullptr);
    ASSERT_NE(scene.lightMarker, nullptr);
    ASSERT_NE(scene.model, nullptr); // a failed load leaves an empty model
    EXPECT_TRUE(scene.model->frames.empty());
}

TEST_F(SceneDrawTest, ShadowPassRestoresTransformsAndLeavesTheModelStages) {
    D3DXMATRIX view, projection;
    D3DXMatrixTranslation(&view, 1, 2, 3);
    D3DXMatrixScaling(&projection, 2, 3, 4);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    scene.model->offsetY = 0.0f;
    scene.DrawShadowTexture();
    EXPECT_TRUE(SameMatrix(device.Transform(D3DTS_VIEW), view));
    EXPECT_TRUE(SameMatrix(device.Transform(D3DTS_PROJECTION), projection));
    EXPECT_EQ(device.StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(device.StageState(0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(device.StageState(0, D3DTSS_COLORARG2), D3DTA_DIFFUSE);
    EXPECT_EQ(device.StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(device.RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    BOOL lightOn = FALSE;
    device->GetLightEnable(0, &lightOn);
    EXPECT_TRUE(lightOn);

    // The eye stands at 7 x 10 x the light position.
    D3DXMATRIX expected;
    const D3DXVECTOR3 eye(0, 105, -70), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    ASSERT_GE(recorder.transforms.size(), 1u);
    EXPECT_EQ(recorder.transforms[0].first, D3DTS_VIEW);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&recorder.transforms[0].second._11)[i], (&expected._11)[i], 1e-4f);
}

TEST_F(SceneDrawTest, LightMarkerStandsAtTheShadowEyeAndLeavesTheLightAsItWas) {
    D3DLIGHT9 before{}, after{};
    device->GetLight(0, &before);
    scene.DrawLightMarker();
    device->GetLight(0, &after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    ASSERT_GE(recorder.transforms.size(), 2u);
    const D3DMATRIX& world = recorder.transforms[0].second;
    EXPECT_FLOAT_EQ(world._41, 0.0f);
    EXPECT_FLOAT_EQ(world._42, 105.0f);
    EXPECT_FLOAT_EQ(world._43, -70.0f);
}

TEST_F(SceneDrawTest, PreviewSitsInTheTopRightCorner) {
    for (float width : {800.0f, 800.5f}) {
        recorder.userDraws.clear();
        settings.viewWidth = width;
        scene.DrawShadowAndPreview();
        ASSERT_EQ(recorder.userDraws.size(), 2u);
        const auto& preview = recorder.userDraws[0];
        EXPECT_EQ(preview.type, D3DPT_TRIANGLEFAN);
        EXPECT_EQ(preview.Vertex<ScreenVertex>(0).x, 672.0f);
        EXPECT_EQ(preview.Vertex<ScreenVertex>(1).x, width);
        EXPECT_EQ(preview.Vertex<ScreenVertex>(2).y, 128.0f);
    }
    EXPECT_EQ(device.RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device.RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(device.RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_SRCCOLOR));
    EXPECT_EQ(device.StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
}

TEST_F(SceneDrawTest, FloorQuadFollowsTheLift) {
    scene.model->offsetY = -24.0f;
    scene.DrawShadowAndPreview();
    const auto& lifted = recorder.userDraws.at(1);
    EXPECT_EQ(lifted.fvf, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(lifted.Vertex<FloorVertex>(0).x, -60.0f);
    EXPECT_EQ(lifted.Vertex<FloorVertex>(0).y, 2.0f);
    EXPECT_EQ(lifted.Vertex<FloorVertex>(0).z, 80.0f);
    EXPECT_EQ(lifted.Vertex<FloorVertex>(2).z, -40.0f);

    settings.applyOffsetY = 0;
    recorder.userDraws.clear();
    scene.DrawShadowAndPreview();
    const auto& resting = recorder.userDraws.at(1);
    EXPECT_EQ(resting.Vertex<FloorVertex>(0).y, -22.0f);
    EXPECT_EQ(resting.Vertex<FloorVertex>(0).z, 76.0f);
    EXPECT_EQ(resting.Vertex<FloorVertex>(2).z, -44.0f);
}

TEST_F(SceneDrawTest, GridIsDrawnUnlitAtTheWorldScale) {
    scene.DrawGrid();
    ASSERT_EQ(recorder.userDraws.size(), 1u);
    EXPECT_EQ(recorder.userDraws[0].type, D3DPT_LINELIST);
    EXPECT_EQ(recorder.userDraws[0].primitiveCount, 25u);
    EXPECT_EQ(recorder.transforms.at(0).second._11, 10.0f);
    EXPECT_EQ(device.RenderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device.Transform(D3DTS_WORLD)._11, 1.0f);
}

} // namespace
