// Matrix builders: rotations, look-at and perspective.

#include "MathTestSupport.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

void ExpectRow(const Row4& row, double x, double y, double z, double w, double tolerance) {
    EXPECT_NEAR(row.v[0], x, tolerance);
    EXPECT_NEAR(row.v[1], y, tolerance);
    EXPECT_NEAR(row.v[2], z, tolerance);
    EXPECT_NEAR(row.v[3], w, tolerance);
}

// Rotations come from the portable set, or from the 3DNow! set's own sine and cosine (plain
// code, so it runs on any processor where it is built).
TEST(MatrixBuilders, QuarterTurnsMoveTheXAxisWhereALeftHandedSystemPutsIt) {
    for (const MathFunctionSet* set : {&PortableMathFunctions(), ThreeDNowMathFunctions()}) {
        if (set == nullptr) {
            continue;
        }
        D3DXMATRIX m;
        EXPECT_EQ(set->rotationY(&m, kHalfPi), &m);
        ExpectRow(TransformRow({{1, 0, 0, 1}}, m), 0, 0, -1, 1, 1e-7);
        EXPECT_EQ(m._22, 1.0f);
        EXPECT_EQ(set->rotationZ(&m, kHalfPi), &m);
        ExpectRow(TransformRow({{1, 0, 0, 1}}, m), 0, 1, 0, 1, 1e-7);
        EXPECT_EQ(m._33, 1.0f);
    }
}

TEST(MatrixBuilders, ThreeDNowSineAndCosineStayCloseToTheLibrary) {
    const MathFunctionSet* set = ThreeDNowMathFunctions();
    if (set == nullptr) {
        GTEST_SKIP() << "3DNow! set not built";
    }
    D3DXMATRIX m;
    for (float angle = -40.0f; angle <= 40.0f; angle += 0.0173f) {
        set->rotationZ(&m, angle);
        ASSERT_NEAR(m._11, std::cos(double(angle)), 3e-7) << angle;
        ASSERT_NEAR(m._12, std::sin(double(angle)), 3e-7) << angle;
    }
    set->rotationY(&m, 3e7f); // beyond the quadrant reduction's range
    EXPECT_NEAR(m._31, std::sin(3e7f), 1e-6f);
    set->rotationY(&m, std::nanf(""));
    EXPECT_TRUE(std::isnan(m._11) && std::isnan(m._31));
}

// Look-at goes through the dispatched normalise, so it is checked with each set selected.
class LookAtTest : public MathDispatchTest {};

void ExpectIdentityMovedByFive() {
    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixLookAtLH(&m, &eye, &at, &up), &m);
    for (int i = 0; i < 16; ++i) {
        const float expected = i == 14 ? 5.0f : (i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_NEAR(m.m[i / 4][i % 4], expected, i == 14 ? 1e-5f : 2e-6f) << i;
    }
}

TEST_F(LookAtTest, LookingDownZFromMinusFiveGivesIdentityMovedByFive) {
    const ProcessorFeatures cpu = GetProcessorFeatures();
    setenv("DisablePSGP", "1", 1);
    ExpectIdentityMovedByFive();
    EXPECT_EQ(GetMathDispatchState(), kMathStatePortable);

    unsetenv("DisablePSGP");
    const ProcessorFeatures onlySse2{.hasCpuid = true, .sse2 = cpu.sse2};
    const ProcessorFeatures onlySse{.hasCpuid = true, .sse = cpu.sse};
    const ProcessorFeatures everything = cpu;
    for (const ProcessorFeatures* features : {&onlySse2, &onlySse, &everything}) {
        ResetMathDispatch();
        SetProcessorFeaturesOverride(features);
        ExpectIdentityMovedByFive();
    }
}

TEST_F(LookAtTest, ViewMatrixPutsTheEyeAtTheOriginAndTheTargetOnPlusZ) {
    const D3DXVECTOR3 eye(1.0f, 2.0f, 3.0f);
    const D3DXVECTOR3 at(4.0f, -2.0f, 3.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    ExpectRow(TransformRow({{1, 2, 3, 1}}, m), 0, 0, 0, 1, 1e-5);
    ExpectRow(TransformRow({{4, -2, 3, 1}}, m), 0, 0, 5, 1, 1e-5);
    EXPECT_GT(TransformRow({{1, 3, 3, 1}}, m).v[1], 0.5); // up stays up
}

TEST_F(LookAtTest, UpAlongTheViewDirectionDegeneratesWithoutNotANumber) {
    const D3DXVECTOR3 eye(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 at(0.0f, 5.0f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(m.m[row][0], 0.0f); // x axis
        EXPECT_EQ(m.m[row][1], 0.0f); // y axis
    }
    EXPECT_NEAR(m._23, 1.0f, 2e-6f);
}

TEST(MatrixBuilders, PerspectiveMapsNearToZeroAndFarToOne) {
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&m, std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 1.0f, 100.0f), &m);
    const double cotangent = 1.0 / std::tan(std::numbers::pi / 8);
    EXPECT_NEAR(m._22, cotangent, 1e-6);
    EXPECT_NEAR(m._11, cotangent * 0.75, 1e-6);
    EXPECT_NEAR(m._33, 100.0 / 99.0, 1e-6);
    EXPECT_NEAR(m._43, -100.0 / 99.0, 1e-6);
    EXPECT_EQ(m._34, 1.0f);
    EXPECT_EQ(m._44, 0.0f);
    const Row4 nearPoint = TransformRow({{0, 0, 1, 1}}, m);
    const Row4 farPoint = TransformRow({{0, 0, 100, 1}}, m);
    EXPECT_NEAR(nearPoint.v[2] / nearPoint.v[3], 0.0, 1e-6);
    EXPECT_NEAR(farPoint.v[2] / farPoint.v[3], 1.0, 1e-6);
}

} // namespace
