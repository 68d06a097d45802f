// The x87-tuned replacements for normalise and multiply, installed on every processor. The
// normalise takes 1/sqrt(s) from a small table instead of a square root and a division; the
// multiply is unrolled and reads all of M2 before writing, so aliasing needs no temporary.

#include "gfxutil/math/MathDispatch.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// 1/sqrt(s) for s = 2^E * m: E is halved separately, and the remaining factor 1/sqrt(m') with
// m' in [1, 4) comes from 512 straight segments. The lowest bit of the stored exponent picks the
// octave ([1, 2) when odd, [2, 4) when even) and the top 8 mantissa bits pick one of its 256
// segments; the lower 15 mantissa bits interpolate along it. Each segment is the chord of
// 1/sqrt between its ends, lowered by half the chord's gap to the curve at its middle, so the
// error stays below about 7e-7 relative.
struct Segment {
    float start;
    float rise;
};

constexpr double ConstexprSqrt(double v) {
    double root = v;
    for (int i = 0; i < 40; ++i) {
        root = 0.5 * (root + v / root);
    }
    return root;
}

constexpr double InverseSqrt(double v) {
    return 1.0 / ConstexprSqrt(v);
}

constexpr std::array<Segment, 512> BuildSegments() {
    std::array<Segment, 512> segments{};
    for (int octave = 0; octave < 2; ++octave) {
        const double base = octave == 1 ? 1.0 : 2.0; // index bit 8 set: odd stored exponent
        for (int i = 0; i < 256; ++i) {
            const double left = base * (1.0 + i / 256.0);
            const double right = base * (1.0 + (i + 1) / 256.0);
            const double yLeft = InverseSqrt(left);
            const double yRight = InverseSqrt(right);
            const double gap = 0.5 * (yLeft + yRight) - InverseSqrt(0.5 * (left + right));
            segments[octave * 256 + i] = {static_cast<float>(yLeft - 0.5 * gap),
                                          static_cast<float>(yRight - yLeft)};
        }
    }
    return segments;
}

constexpr std::array<Segment, 512> kSegments = BuildSegments();

constexpr float kUnitTolerance = std::bit_cast<float>(0x3727C5ACu); // 1e-5

// s is positive; +inf gives 0 and NaN stays NaN, as the exact 1/sqrt would.
float TableInverseSqrt(float s) {
    std::uint32_t bits = std::bit_cast<std::uint32_t>(s);
    std::uint32_t exponent = bits >> 23;
    if (exponent == 255) {
        return std::isnan(s) ? s : 0.0f;
    }
    std::uint32_t extraExponent = 0;
    if (exponent == 0) { // denormal: lift it into the normal range first
        bits = std::bit_cast<std::uint32_t>(s * 0x1p64f);
        exponent = bits >> 23;
        extraExponent = 32;
    }
    const std::uint32_t index = ((exponent & 1u) << 8) | ((bits >> 15) & 0xFFu);
    const float along = static_cast<float>(bits & 0x7FFFu) * 0x1p-15f;
    const Segment& segment = kSegments[index];
    const float mantissaPart = segment.start + segment.rise * along;

    // s = 2^(2k) * m' with m' in [1, 4) and k = (exponent + (exponent & 1)) / 2 - 64, so
    // 1/sqrt(s) = 2^-k / sqrt(m'): the stored exponent of 2^-k is 127 - k.
    const std::uint32_t halved = 191 - ((exponent + (exponent & 1u)) >> 1) + extraExponent;
    return mantissaPart * std::bit_cast<float>(halved << 23);
}

D3DXVECTOR3* NormalizeX87Tuned(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    const float s = in->x * in->x + in->y * in->y + in->z * in->z;
    if (std::fabs(s - 1.0f) <= kUnitTolerance) {
        if (out != in) {
            *out = *in;
        }
        return out;
    }
    if (s == 0.0f) {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return out;
    }
    const float inverse = TableInverseSqrt(s);
    const D3DXVECTOR3 scaled(in->x * inverse, in->y * inverse, in->z * inverse);
    *out = scaled;
    return out;
}

// Same arithmetic as the portable multiply (double sums, rounded once), written row by row.
D3DXMATRIX* MultiplyX87Tuned(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    double b[4][4];
    for (int k = 0; k < 4; ++k) {
        for (int col = 0; col < 4; ++col) {
            b[k][col] = m2->m[k][col];
        }
    }
    for (int row = 0; row < 4; ++row) {
        const double a0 = m1->m[row][0];
        const double a1 = m1->m[row][1];
        const double a2 = m1->m[row][2];
        const double a3 = m1->m[row][3];
        float result[4];
        for (int col = 0; col < 4; ++col) {
            result[col] =
                static_cast<float>(a0 * b[0][col] + a1 * b[1][col] + a2 * b[2][col] + a3 * b[3][col]);
        }
        for (int col = 0; col < 4; ++col) {
            out->m[row][col] = result[col];
        }
    }
    return out;
}

constexpr MathFunctionSet kX87Tuned{NormalizeX87Tuned, MultiplyX87Tuned};

} // namespace

const MathFunctionSet& X87TunedMathFunctions() {
    return kX87Tuned;
}
