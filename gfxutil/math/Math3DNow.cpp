// The 3DNow! set for AMD processors: normalise and multiply in 3DNow! instructions, and the
// rotations with their own sine and cosine. Built only by compilers that still generate 3DNow!
// (newer ones dropped it); elsewhere the set is absent and the dispatcher moves on to SSE2/SSE.

#include "gfxutil/math/MathDispatch.h"

#if (defined(__x86_64__) || defined(__i386__)) &&                                                            \
    ((defined(__clang__) && __clang_major__ < 18) ||                                                         \
     (!defined(__clang__) && defined(__GNUC__) && __GNUC__ < 14))

#include <bit>
#include <cmath>
#include <cstring>
#include <mm3dnow.h>

#define LUMIVOX_TARGET_3DNOW __attribute__((target("3dnow")))

// The two compilers name the first reciprocal-square-root refinement step differently.
#if defined(__clang__)
#define LUMIVOX_PFRSQIT1 _m_pfrsqrtit1
#else
#define LUMIVOX_PFRSQIT1 _m_pfrsqit1
#endif

namespace {

constexpr float kSmallestNormal = 0x1p-126f;

LUMIVOX_TARGET_3DNOW __m64 LoadPair(const float* pair) {
    __m64 v;
    std::memcpy(&v, pair, sizeof(v));
    return v;
}

LUMIVOX_TARGET_3DNOW __m64 LoadSingle(float value) {
    return _m_from_int(std::bit_cast<int>(value));
}

// Zero when s <= 2^-126; never copies the input.
LUMIVOX_TARGET_3DNOW D3DXVECTOR3* Normalize3DNow(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    const __m64 xy = LoadPair(&in->x);
    const __m64 z = LoadSingle(in->z); // z, 0
    __m64 s = _m_pfacc(_m_pfmul(xy, xy), _m_pfmul(z, z));
    s = _m_pfacc(s, s); // (x^2 + y^2) + z^2 in both halves

    // Estimate, then the refinement pair the instruction set provides for it.
    const __m64 estimate = _m_pfrsqrt(s);
    const __m64 step = LUMIVOX_PFRSQIT1(_m_pfmul(estimate, estimate), s);
    const __m64 factor = _m_pfrcpit2(step, estimate);

    const __m64 keep = _m_pfcmpgt(s, LoadSingle(kSmallestNormal));
    const __m64 keepBoth = _m_punpckldq(keep, keep);
    const __m64 resultXY = _m_pand(_m_pfmul(xy, factor), keepBoth);
    const __m64 resultZ = _m_pand(_m_pfmul(z, factor), keep);

    const int zBits = _m_to_int(resultZ);
    std::memcpy(&out->x, &resultXY, sizeof(resultXY));
    _m_femms();
    out->z = std::bit_cast<float>(zBits);
    return out;
}

struct PairRow {
    __m64 low;  // columns 0, 1
    __m64 high; // columns 2, 3
};

// M2 is read whole and the product goes to a temporary, so the output may be either input.
LUMIVOX_TARGET_3DNOW D3DXMATRIX* Multiply3DNow(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    PairRow b[4];
    for (int k = 0; k < 4; ++k) {
        b[k] = {LoadPair(&m2->m[k][0]), LoadPair(&m2->m[k][2])};
    }
    PairRow product[4];
    for (int row = 0; row < 4; ++row) {
        const __m64 a01 = LoadPair(&m1->m[row][0]);
        const __m64 a23 = LoadPair(&m1->m[row][2]);
        const __m64 a[4] = {_m_punpckldq(a01, a01), _m_punpckhdq(a01, a01), _m_punpckldq(a23, a23),
                            _m_punpckhdq(a23, a23)};
        __m64 low = _m_pfmul(a[0], b[0].low);
        __m64 high = _m_pfmul(a[0], b[0].high);
        for (int k = 1; k < 4; ++k) {
            low = _m_pfadd(low, _m_pfmul(a[k], b[k].low));
            high = _m_pfadd(high, _m_pfmul(a[k], b[k].high));
        }
        product[row] = {low, high};
    }
    std::memcpy(out->m, product, sizeof(product));
    _m_femms();
    return out;
}

// Quadrant reduction in double, then short polynomials on |r| <= pi/4 (error about 1e-7).
void SineCosine(float angle, float* sine, float* cosine) {
    if (!(std::fabs(angle) <= 1.0e6f)) { // huge or not a number: the reduction would lose it
        *sine = std::sin(angle);
        *cosine = std::cos(angle);
        return;
    }
    constexpr double kHalfPi = 1.57079632679489661923;
    const double quadrant = std::nearbyint(angle / kHalfPi);
    const float r = static_cast<float>(angle - quadrant * kHalfPi);
    const float r2 = r * r;
    const float s =
        r * (1.0f + r2 * (-1.0f / 6 + r2 * (1.0f / 120 + r2 * (-1.0f / 5040 + r2 * (1.0f / 362880)))));
    const float c =
        1.0f + r2 * (-0.5f + r2 * (1.0f / 24 + r2 * (-1.0f / 720 + r2 * (1.0f / 40320 - r2 / 3628800))));
    switch (static_cast<long>(quadrant) & 3) {
    case 0:
        *sine = s;
        *cosine = c;
        break;
    case 1:
        *sine = c;
        *cosine = -s;
        break;
    case 2:
        *sine = -s;
        *cosine = -c;
        break;
    default:
        *sine = -c;
        *cosine = s;
        break;
    }
}

D3DXMATRIX* RotationY3DNow(D3DXMATRIX* out, float angle) {
    float sine = 0.0f;
    float cosine = 0.0f;
    SineCosine(angle, &sine, &cosine);
    *out = D3DXMATRIX{};
    out->_11 = cosine;
    out->_13 = -sine;
    out->_22 = 1.0f;
    out->_31 = sine;
    out->_33 = cosine;
    out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* RotationZ3DNow(D3DXMATRIX* out, float angle) {
    float sine = 0.0f;
    float cosine = 0.0f;
    SineCosine(angle, &sine, &cosine);
    *out = D3DXMATRIX{};
    out->_11 = cosine;
    out->_12 = sine;
    out->_21 = -sine;
    out->_22 = cosine;
    out->_33 = 1.0f;
    out->_44 = 1.0f;
    return out;
}

// Scaling and translation only store constants; the portable ones stay.
constexpr MathFunctionSet kThreeDNow{Normalize3DNow, Multiply3DNow,  nullptr,
                                     nullptr,        RotationY3DNow, RotationZ3DNow};

} // namespace

const MathFunctionSet* ThreeDNowMathFunctions() {
    return &kThreeDNow;
}

#else

const MathFunctionSet* ThreeDNowMathFunctions() {
    return nullptr;
}

#endif
