#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/MD2Model.h"
#include "state/AnimationSpeed.h"
#include "support/RecordingDevice.h"
#include "support/RenderSettingsScope.h"
#include "support/TestDevice.h"

namespace {

using testsupport::RecordingDevice;

// One triangle in one block of three frames. Corner 0 of frame f lies at x = 10 f; its normal is
// +z in frame 0, +x in frame 1 and -z in frame 2 (the opposite of frame 0).
void MakeWalk(MD2Model& model, IDirect3DDevice9* device) {
    const float normals[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}};
    model.device = device;
    model.triangles = {MD2Triangle{{0, 1, 2}, {0, 1, 2}}};
    model.frames.resize(3);
    for (int f = 0; f < 3; ++f) {
        FrameRecord& frame = model.frames[static_cast<std::size_t>(f)];
        frame.vertices = std::make_unique<ModelVertex[]>(3);
        for (int k = 0; k < 3; ++k) {
            const auto& n = normals[f];
            frame.vertices[k] = {10.0f * f + k, 2.0f, 3.0f, n[0], n[1], n[2], 0.5f, 0.25f, 0.0f};
        }
    }
    model.frames[0].link = 2;
    model.frames[1].link = 2;
    model.frames[2].link = 0;
    model.blockStarts = {0};
}

class MD2BlendTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeWalk(model, &recorder);
        settings.interpolate = 1;
        settings.frameInterval = 100.0f;
        settings.lastFrameTime = 1000.0f;
    }
    // Corner 0 as drawn at `timeMs` from `frame` in `mode` (y and z exchanged by the drawing).
    ModelVertex DrawAt(float timeMs, int frame = 0, int mode = ANIMATION_PLAY_FORWARD) {
        model.currentFrame = frame;
        model.animationMode = mode;
        settings.pictureTime = timeMs;
        recorder.userDraws.clear();
        model.Draw();
        EXPECT_EQ(recorder.userDraws.size(), 1u);
        return recorder.userDraws.at(0).Vertex<ModelVertex>(0);
    }

    RenderSettingsScope scope;
    RenderSettings& settings = scope.settings;
    TestDevice device;
    RecordingDevice recorder{device.get()};
    MD2Model model;
};

TEST_F(MD2BlendTest, SwitchedOffTheStoredFrameIsDrawnAtAnyTime) {
    settings.interpolate = 0;
    for (float t : {1000.0f, 1025.0f, 1050.0f, 1099.0f})
        EXPECT_EQ(DrawAt(t).x, 0.0f);
}

TEST_F(MD2BlendTest, PositionsMoveInAStraightLineAndNormalsStayUnitLength) {
    const ModelVertex quarter = DrawAt(1025.0f);
    EXPECT_FLOAT_EQ(quarter.x, 2.5f);
    EXPECT_FLOAT_EQ(quarter.y, 3.0f); // unchanged parts stay put
    EXPECT_FLOAT_EQ(quarter.z, 2.0f);
    EXPECT_EQ(quarter.u, 0.5f);
    // Normal a quarter of the way from +z to +x, drawn as (x, z, y).
    const float length = std::sqrt(0.25f * 0.25f + 0.75f * 0.75f);
    EXPECT_FLOAT_EQ(quarter.nx, 0.25f / length);
    EXPECT_FLOAT_EQ(quarter.ny, 0.75f / length);
    EXPECT_FLOAT_EQ(quarter.nz, 0.0f);
    // The shade follows the blended normal: light (0, -0.83205, 0.55470) in the file's axes.
    EXPECT_NEAR(quarter.shade, 0.55470f * (0.75f / length) * 0.5f + 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(DrawAt(1050.0f).x, 5.0f);
}

TEST_F(MD2BlendTest, TheUpcomingFrameIsTheOneTheNextStepShows) {
    EXPECT_FLOAT_EQ(DrawAt(1050.0f, 2, ANIMATION_PLAY_FORWARD).x, 10.0f);        // 2 -> 0, block loops
    EXPECT_FLOAT_EQ(DrawAt(1050.0f, 1, ANIMATION_PLAY_FORWARD_BUTTON).x, 15.0f); // 1 -> 2
    EXPECT_FLOAT_EQ(DrawAt(1050.0f, 0, ANIMATION_PLAY_BACKWARD).x, 10.0f);       // 0 -> 2
    EXPECT_FLOAT_EQ(DrawAt(1050.0f, 2, ANIMATION_PLAY_BACKWARD).x, 15.0f);       // 2 -> 1
    for (int still : std::initializer_list<int>{ANIMATION_STOPPED, ANIMATION_STEP_FORWARD,
                                                ANIMATION_STEP_BACKWARD, 2, 99})
        EXPECT_EQ(DrawAt(1050.0f, 1, still).x, 10.0f) << "mode " << still;
}

TEST_F(MD2BlendTest, OddClocksShowAKeyFrameWhole) {
    EXPECT_EQ(DrawAt(900.0f).x, 0.0f);   // the clock went back
    EXPECT_EQ(DrawAt(5000.0f).x, 10.0f); // a late step: the upcoming frame, exactly
    settings.frameInterval = FrameIntervalForSpeed(0);
    EXPECT_EQ(DrawAt(1050.0f).x, 0.0f);
    settings.frameInterval = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(DrawAt(1050.0f).x, 0.0f);
}

TEST_F(MD2BlendTest, ANormalTurningHalfRoundKeepsItsDirectionAtTheMiddle) {
    const ModelVertex middle = DrawAt(1050.0f, 2, ANIMATION_PLAY_FORWARD); // -z to +z
    EXPECT_EQ(middle.nx, 0.0f);
    EXPECT_EQ(middle.ny, -1.0f);
    EXPECT_EQ(middle.nz, 0.0f);
}

TEST_F(MD2BlendTest, AnimationMovesOnWithoutAJumpAtTheStep) {
    std::vector<float> shown;
    for (float t : {1000.0f, 1050.0f, 1100.0f, 1100.0f, 1150.0f}) {
        recorder.userDraws.clear();
        model.Animate(t);
        shown.push_back(recorder.userDraws.at(0).Vertex<ModelVertex>(0).x);
    }
    // Half way, the upcoming frame whole just as the step is made, then on from it.
    EXPECT_EQ(shown, (std::vector<float>{0.0f, 5.0f, 10.0f, 10.0f, 15.0f}));
    EXPECT_EQ(model.currentFrame, 1);
}

} // namespace
