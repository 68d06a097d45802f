#include <gtest/gtest.h>

#include "model/MD2Model.h"
#include "support/RecordingDevice.h"
#include "support/RenderSettingsScope.h"
#include "support/TestDevice.h"

namespace {

using testsupport::RecordingDevice;

// A model of one triangle in one frame, built in memory.
void MakeOneTriangle(MD2Model& model, IDirect3DDevice9* device, const ModelVertex (&corners)[3]) {
    model.device = device;
    model.triangles = {MD2Triangle{{0, 1, 2}, {0, 1, 2}}};
    model.frames.resize(1);
    model.frames[0].vertices = std::make_unique<ModelVertex[]>(3);
    for (int k = 0; k < 3; ++k)
        model.frames[0].vertices[k] = corners[k];
    model.frames[0].link = 0;
    model.blockStarts = {0};
}

D3DXVECTOR3 Transform(const D3DMATRIX& m, float x, float y, float z) {
    return D3DXVECTOR3(x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
                       x * m._13 + y * m._23 + z * m._33 + m._43);
}

class MD2DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeOneTriangle(model, &recorder, {{1, 2, 3, 0, 0, 1, 0.25f, 0.5f, 0}, {2, 2, 3, 0, 0, -1, 0, 0, 0},
                                           {1, 3, 3, 1, 0, 0, 0, 0, 0}});
    }
    const ModelVertex& Drawn(int corner) const {
        return recorder.userDraws.at(0).Vertex<ModelVertex>(static_cast<std::size_t>(corner));
    }

    RenderSettingsScope scope;
    RenderSettings& settings = scope.settings;
    TestDevice device;
    RecordingDevice recorder{device.get()};
    MD2Model model;
};

TEST_F(MD2DrawTest, ShadeFollowsTheAngleToTheLight) {
    model.Draw();
    ASSERT_EQ(recorder.userDraws.size(), 1u);
    EXPECT_EQ(recorder.userDraws[0].fvf, MODEL_VERTEX_FVF);
    EXPECT_EQ(recorder.userDraws[0].stride, 36u);
    EXPECT_NEAR(Drawn(0).shade, 0.77735f, 1e-5f); // normal (0, 0, 1)
    EXPECT_NEAR(Drawn(1).shade, 0.22265f, 1e-5f); // the opposite normal
    EXPECT_NEAR(Drawn(2).shade, 0.5f, 1e-6f);     // perpendicular
}

TEST_F(MD2DrawTest, InverseNormalsFlipShadeAndDrawnNormal) {
    settings.inverseNormals = 1;
    model.Draw();
    EXPECT_NEAR(Drawn(0).shade, 0.22265f, 1e-5f);
    EXPECT_EQ(Drawn(0).nx, -0.0f);
    EXPECT_EQ(Drawn(0).ny, -1.0f);
    EXPECT_EQ(Drawn(0).nz, -0.0f);
}

TEST_F(MD2DrawTest, TheLightTurnsAgainstTheModel) {
    settings.lightPosition = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    settings.modelAngle = 1.5707964f;
    // Against the turned light (0, -1, 0), a normal along -y in the file's axes is fully lit.
    ModelVertex corners[3] = {{0, 0, 0, 0, -1, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 1, 0, 0, 0}};
    MakeOneTriangle(model, &recorder, corners);
    model.Draw();
    EXPECT_NEAR(Drawn(0).shade, 1.0f, 1e-5f);
    EXPECT_NEAR(Drawn(1).shade, 0.0f, 1e-5f);
}

TEST_F(MD2DrawTest, AxesAreExchangedAndTheLiftRaisesTheLowestPointToTheGround) {
    model.offsetY = -24.0f;
    model.Draw();
    EXPECT_EQ(Drawn(0).x, 1.0f);
    EXPECT_EQ(Drawn(0).y, 3.0f);
    EXPECT_EQ(Drawn(0).z, 2.0f);
    EXPECT_EQ(Drawn(0).u, 0.25f);
    EXPECT_EQ(Drawn(0).v, 0.5f);
    ASSERT_GE(recorder.transforms.size(), 2u);
    EXPECT_EQ(recorder.transforms.front().first, D3DTS_WORLD);
    const D3DXVECTOR3 lifted = Transform(recorder.transforms.front().second, 1.0f, 3.0f, 2.0f);
    EXPECT_FLOAT_EQ(lifted.x, 1.0f);
    EXPECT_FLOAT_EQ(lifted.y, 27.0f);
    EXPECT_FLOAT_EQ(lifted.z, 2.0f);
    // The world transform is identity again afterwards.
    const D3DMATRIX after = device.Transform(D3DTS_WORLD);
    EXPECT_EQ(Transform(after, 1.0f, 3.0f, 2.0f).y, 3.0f);

    settings.applyOffsetY = 0;
    recorder.transforms.clear();
    model.Draw();
    EXPECT_FLOAT_EQ(Transform(recorder.transforms.front().second, 1.0f, 3.0f, 2.0f).y, 3.0f);
}

TEST_F(MD2DrawTest, EachTriangleSetsItsStatesInOrder) {
    settings.lighting = 0;
    model.Draw();
    const std::vector<std::string> expected = {
        "SetTransform(256)",
        "SetRenderState(137,0)",       // lighting as the switch says
        "SetTexture(0,0)",             // no skin loaded
        "SetTexture(1,0)",             // no ramp loaded
        "SetTextureStageState(1,1,4)", // stage 1 modulates
        "SetFVF(786962)",
        "DrawPrimitiveUP(4,1)",
        "SetTexture(1,0)",
        "SetRenderState(137,1)", // lighting back on, even when the switch is off
        "SetTransform(256)",
    };
    EXPECT_EQ(recorder.calls, expected);
}

TEST_F(MD2DrawTest, NormalLinesRunFromEachCornerAlongItsDrawnNormal) {
    settings.showNormals = 1;
    model.Draw();
    ASSERT_EQ(recorder.userDraws.size(), 2u);
    const auto& lines = recorder.userDraws[1];
    EXPECT_EQ(lines.type, D3DPT_LINELIST);
    EXPECT_EQ(lines.primitiveCount, 3u);
    EXPECT_EQ(lines.fvf, LINE_VERTEX_FVF);
    const LineVertex& start = lines.Vertex<LineVertex>(0);
    const LineVertex& end = lines.Vertex<LineVertex>(1);
    EXPECT_EQ(start.x, 1.0f);
    EXPECT_EQ(start.y, 3.0f);
    EXPECT_EQ(start.z, 2.0f);
    EXPECT_EQ(end.y, 3.0f + 5.0f); // drawn normal (0, 1, 0), length 5
    EXPECT_EQ(end.color, 0xFFFBAF5Du);
    const std::vector<std::string> tail(recorder.calls.end() - 6, recorder.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SetRenderState(137,0)", "SetTexture(0,0)", "SetFVF(66)",
                                              "DrawPrimitiveUP(2,3)", "SetRenderState(137,1)", "SetTransform(256)"}));
}

TEST_F(MD2DrawTest, AModelWithoutFramesDrawsNothing) {
    MD2Model empty;
    empty.device = &recorder;
    empty.currentFrame = 5;
    empty.Draw();
    EXPECT_TRUE(recorder.userDraws.empty());
    EXPECT_EQ(empty.currentFrame, 0);
}

} // namespace
