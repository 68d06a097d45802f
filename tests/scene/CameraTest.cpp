#include <cmath>
#include <gtest/gtest.h>

#include "support/SettingsScope.h"
#include "support/TestDevice.h"

namespace {

void ExpectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected, float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "element " << r + 1 << c + 1;
}

class CameraTest : public ::testing::Test {
protected:
    CameraTest() {
        s.device = device.get();
        s.viewWidth = 640.0f;
        s.viewHeight = 480.0f;
    }
    D3DXMATRIX LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up) const {
        D3DXMATRIX m;
        D3DXMatrixLookAtLH(&m, &eye, &at, &up);
        return m;
    }

    TestDevice device;
    SettingsScope scope;
    RenderSettings& s = scope.settings;
};

TEST_F(CameraTest, FirstPersonCameraStartsBehindTheOrigin) {
    s.UpdateView();
    ExpectMatrixNear(s.viewMatrix, LookAt({0, 30, -120}, {0, 30, -119}, {0, 1, 0}), 1e-5f);
    ExpectMatrixNear(device.Transform(D3DTS_VIEW), s.viewMatrix, 0.0f);
    const D3DMATRIX projection = device.Transform(D3DTS_PROJECTION);
    EXPECT_NEAR(projection._22, 2.4142137f, 1e-5f);             // field of view pi / 4
    EXPECT_NEAR(projection._11, 2.4142137f / 1.3333334f, 1e-5f); // aspect 640 / 480
    EXPECT_NEAR(projection._33, 3200.0f / 3199.0f, 1e-6f);       // far plane 3200, near 1
    EXPECT_NEAR(projection._43, -3200.0f / 3199.0f, 1e-6f);
}

TEST_F(CameraTest, OrbitCameraCirclesTheLiftedModel) {
    scope.scene.model = std::make_unique<MD2Model>();
    scope.scene.model->offsetY = -24.0f;
    s.activeCamera = 1;
    s.UpdateView();
    const D3DXVECTOR3 target(0, 24, 0);
    const D3DXVECTOR3 eye(-122.474f, 24.0f + 100.0f, -122.474f);
    ExpectMatrixNear(s.viewMatrix, LookAt(eye, target, {0.35355f, 0.86603f, 0.35355f}), 2e-3f);
    EXPECT_NEAR(device.Transform(D3DTS_PROJECTION)._33, 20000.0f / 19999.0f, 1e-6f);

    s.applyOffsetY = 0;
    s.UpdateView();
    ExpectMatrixNear(s.viewMatrix, LookAt({-122.474f, 100.0f, -122.474f}, {0, 0, 0}, {0.35355f, 0.86603f, 0.35355f}),
                     2e-3f);
}

TEST_F(CameraTest, LookingStraightDownKeepsAnUpVector) {
    s.cameras[0].pitch = 90.0f;
    s.UpdateView();
    const Camera& c = s.cameras[0];
    ExpectMatrixNear(s.viewMatrix, LookAt({0, 30, -120}, {0, 29, -120}, {c.yawSin, 0, c.yawCos}), 1e-4f);
    for (float v : s.viewMatrix.m[0])
        EXPECT_TRUE(std::isfinite(v));
}

TEST_F(CameraTest, ResetRestoresBothCamerasButNotTheChoice) {
    s.activeCamera = 1;
    s.cameras[0].x = 99.0f;
    s.cameras[0].distance = 7.0f;
    s.cameras[1].distance = 50.0f;
    s.cameras[1].pitch = 10.0f;
    s.modelAngle = 1.0f;
    s.ResetCameras();
    EXPECT_EQ(s.activeCamera, 1);
    EXPECT_EQ(s.cameras[0].x, 0.0f);
    EXPECT_EQ(s.cameras[0].distance, 7.0f);
    EXPECT_EQ(s.cameras[1].distance, 200.0f);
    EXPECT_EQ(s.cameras[1].pitch, 210.0f);
    EXPECT_EQ(s.modelAngle, 1.0f);
}

TEST_F(CameraTest, AViewWithoutAreaStillGivesAFiniteProjection) {
    s.viewHeight = 0.0f;
    s.UpdateView();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(s.projectionMatrix.m[r][c]));
}

} // namespace
