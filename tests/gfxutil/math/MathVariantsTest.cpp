// Normalise and multiply of every variant set, called directly.

#include "MathTestSupport.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

enum class Variant { Portable, X87Tuned, Sse, Sse2, ThreeDNow };

struct VariantInfo {
    const char* name;
    const MathFunctionSet* set;
    bool processorRuns;
    float lengthTolerance;
};

VariantInfo Describe(Variant variant) {
    const ProcessorFeatures& cpu = GetProcessorFeatures();
    switch (variant) {
    case Variant::Portable:
        return {"Portable", &PortableMathFunctions(), true, 5e-7f};
    case Variant::X87Tuned:
        return {"X87Tuned", &X87TunedMathFunctions(), true, 2e-6f};
    case Variant::Sse:
        return {"Sse", SseMathFunctions(), cpu.sse, 1e-6f};
    case Variant::Sse2:
        return {"Sse2", Sse2MathFunctions(), cpu.sse2, 1e-6f};
    case Variant::ThreeDNow:
        break;
    }
    return {"ThreeDNow", ThreeDNowMathFunctions(), cpu.mmx && cpu.amd3DNow, 1e-6f};
}

class MathVariantTest : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override {
        info_ = Describe(GetParam());
        if (info_.set == nullptr || !info_.processorRuns) {
            GTEST_SKIP() << "not built here, or the processor lacks the instructions";
        }
    }

    // Out of place and in place must agree to the bit.
    D3DXVECTOR3 Normalize(const D3DXVECTOR3& in) {
        D3DXVECTOR3 out(-7.0f, -7.0f, -7.0f);
        EXPECT_EQ(info_.set->normalize(&out, &in), &out);
        D3DXVECTOR3 inPlace = in;
        info_.set->normalize(&inPlace, &inPlace);
        ExpectSameBits(inPlace, out);
        return out;
    }

    static void ExpectSameBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        EXPECT_EQ(Bits(a.x), Bits(b.x));
        EXPECT_EQ(Bits(a.y), Bits(b.y));
        EXPECT_EQ(Bits(a.z), Bits(b.z));
    }

    void ExpectUnitX(const D3DXVECTOR3& v) {
        EXPECT_NEAR(v.x, 1.0f, 2 * info_.lengthTolerance);
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_EQ(v.z, 0.0f);
    }

    VariantInfo info_{};
};

const D3DXVECTOR3 kZero(0.0f, 0.0f, 0.0f);

TEST_P(MathVariantTest, NormalisedVectorsHaveUnitLengthAndKeepDirection) {
    const D3DXVECTOR3 inputs[] = {{3.0f, 4.0f, 0.0f},    {-1.0f, 2.0f, -2.0f}, {0.0f, 0.0f, -25.0f},
                                  {1e-5f, 2e-5f, 0.0f},  {0.1f, -0.7f, 0.3f},  {2e-7f, 0.0f, 0.0f},
                                  {1e18f, -3e17f, 5e17f}};
    for (const D3DXVECTOR3& in : inputs) {
        const D3DXVECTOR3 out = Normalize(in);
        const double length = std::sqrt(double(in.x) * in.x + double(in.y) * in.y + double(in.z) * in.z);
        EXPECT_NEAR(out.x, in.x / length, 2 * info_.lengthTolerance);
        EXPECT_NEAR(out.y, in.y / length, 2 * info_.lengthTolerance);
        EXPECT_NEAR(out.z, in.z / length, 2 * info_.lengthTolerance);
    }
    // Lengths squared from 0.5 to 2 step through every segment of the x87-tuned table; inside
    // the 1e-5 copy band the input comes back as it is.
    for (int i = 0; i < 4096; ++i) {
        const float x = static_cast<float>(std::sqrt(0.5 * std::pow(4.0, i / 4096.0)));
        const float allowed = std::fabs(x * x - 1.0f) <= 1e-5f ? 5.1e-6f : info_.lengthTolerance;
        ASSERT_NEAR(Normalize(D3DXVECTOR3(x, 0.0f, 0.0f)).x, 1.0f, allowed) << x;
    }
}

TEST_P(MathVariantTest, NormaliseEdgesFollowTheVariantsRules) {
    const Variant variant = GetParam();
    ExpectSameBits(Normalize(D3DXVECTOR3(0.0f, 0.0f, 0.0f)), kZero);
    ExpectSameBits(Normalize(D3DXVECTOR3(-0.0f, 0.0f, -0.0f)), kZero);

    const D3DXVECTOR3 unit(1.0f, 0.0f, 0.0f);
    if (variant == Variant::Portable || variant == Variant::X87Tuned) {
        ExpectSameBits(Normalize(unit), unit);
    } else {
        ExpectUnitX(Normalize(unit));
    }

    // Within 1e-5 of unit length: only the x87-tuned variant leaves it as it is.
    const D3DXVECTOR3 nearlyUnit(0.999996f, 0.0f, 0.0f);
    if (variant == Variant::X87Tuned) {
        ExpectSameBits(Normalize(nearlyUnit), nearlyUnit);
    } else {
        ExpectUnitX(Normalize(nearlyUnit));
    }

    // s = 1e-40 is denormal: zero for all but the x87-tuned variant, which zeroes only s = 0.
    if (variant == Variant::X87Tuned) {
        EXPECT_NEAR(Normalize(D3DXVECTOR3(1e-20f, 0.0f, 0.0f)).x, 1.0f, 1e-5f);
        ExpectSameBits(Normalize(D3DXVECTOR3(1e-23f, 0.0f, 0.0f)), kZero); // square underflows
    } else {
        ExpectSameBits(Normalize(D3DXVECTOR3(1e-20f, 0.0f, 0.0f)), kZero);
    }

    // s = 1e-14 lies below the 2^-46 limit of the estimating variants.
    const D3DXVECTOR3 small(1e-7f, 0.0f, 0.0f);
    if (variant == Variant::Sse || variant == Variant::Sse2) {
        ExpectSameBits(Normalize(small), kZero);
    } else {
        ExpectUnitX(Normalize(small));
    }

    const D3DXVECTOR3 notANumber(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f);
    if (variant == Variant::Portable) {
        ExpectSameBits(Normalize(notANumber), kZero);
    } else if (variant != Variant::ThreeDNow) { // 3DNow! defines nothing for NaN
        const D3DXVECTOR3 out = Normalize(notANumber);
        EXPECT_TRUE(std::isnan(out.x) && std::isnan(out.y) && std::isnan(out.z));
    }
}

D3DXMATRIX RandomMatrix(std::mt19937& random) {
    std::uniform_real_distribution<float> value(-10.0f, 10.0f);
    D3DXMATRIX m;
    for (auto& row : m.m) {
        for (float& element : row) {
            element = value(random);
        }
    }
    return m;
}

bool SameBits(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    for (int i = 0; i < 16; ++i) {
        if (Bits(a.m[i / 4][i % 4]) != Bits(b.m[i / 4][i % 4])) {
            return false;
        }
    }
    return true;
}

TEST_P(MathVariantTest, MultiplyIsAccurateAndMayWriteOverEitherInput) {
    // These sum in double and round once, exactly as the portable multiply does.
    const bool roundsOnce = GetParam() == Variant::X87Tuned || GetParam() == Variant::Sse2;
    std::mt19937 random(7);
    for (int trial = 0; trial < 20; ++trial) {
        const D3DXMATRIX a = RandomMatrix(random);
        const D3DXMATRIX b = RandomMatrix(random);
        D3DXMATRIX third;
        EXPECT_EQ(info_.set->multiply(&third, &a, &b), &third);
        for (int i = 0; i < 16; ++i) {
            const int row = i / 4;
            const int col = i % 4;
            double exact = 0.0;
            double magnitude = 0.0;
            for (int k = 0; k < 4; ++k) {
                exact += double(a.m[row][k]) * b.m[k][col];
                magnitude += std::fabs(double(a.m[row][k]) * b.m[k][col]);
            }
            ASSERT_NEAR(third.m[row][col], exact, 3e-7 * magnitude);
        }
        if (roundsOnce) {
            D3DXMATRIX portable;
            PortableMathFunctions().multiply(&portable, &a, &b);
            EXPECT_TRUE(SameBits(third, portable));
        }
        D3DXMATRIX intoA = a;
        info_.set->multiply(&intoA, &intoA, &b);
        EXPECT_TRUE(SameBits(intoA, third));
        D3DXMATRIX intoB = b;
        info_.set->multiply(&intoB, &a, &intoB);
        EXPECT_TRUE(SameBits(intoB, third));
        D3DXMATRIX squared;
        D3DXMATRIX squaredInPlace = a;
        info_.set->multiply(&squared, &a, &a);
        info_.set->multiply(&squaredInPlace, &squaredInPlace, &squaredInPlace);
        EXPECT_TRUE(SameBits(squaredInPlace, squared));
    }

    // Applying M1 * M2 applies M1 first: move, then scale.
    D3DXMATRIX move;
    D3DXMATRIX scale;
    PortableMathFunctions().translation(&move, 1.0f, 2.0f, 3.0f);
    PortableMathFunctions().scaling(&scale, 2.0f, 3.0f, 4.0f);
    D3DXMATRIX combined;
    info_.set->multiply(&combined, &move, &scale);
    const Row4 origin = TransformRow({{0, 0, 0, 1}}, combined);
    EXPECT_EQ(origin.v[0], 2.0);
    EXPECT_EQ(origin.v[1], 6.0);
    EXPECT_EQ(origin.v[2], 12.0);
    EXPECT_EQ(origin.v[3], 1.0);
}

std::string VariantName(const ::testing::TestParamInfo<Variant>& info) {
    return Describe(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(EverySet, MathVariantTest,
                         ::testing::Values(Variant::Portable, Variant::X87Tuned, Variant::Sse, Variant::Sse2,
                                           Variant::ThreeDNow),
                         VariantName);

} // namespace
