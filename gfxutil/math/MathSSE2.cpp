// The SSE2 set: normalise from the hardware reciprocal-square-root estimate refined by one
// Newton-Raphson step, and a multiply that sums in double precision two columns at a time, so
// it rounds each element once like the portable multiply.

#include "gfxutil/math/MathDispatch.h"

#if defined(__x86_64__) || defined(__i386__)

#include <emmintrin.h>

#define LUMIVOX_TARGET_SSE2 __attribute__((target("sse2")))

namespace {

// Below this the estimate is too coarse to be worth anything; such vectors become zero.
constexpr float kSmallestLength = 0x1p-46f;

LUMIVOX_TARGET_SSE2 __m128 BroadcastLane0(__m128 v) {
    return _mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(v), 0));
}

LUMIVOX_TARGET_SSE2 D3DXVECTOR3* NormalizeSse2(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    const __m128 xy = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&in->x)));
    const __m128 v = _mm_movelh_ps(xy, _mm_load_ss(&in->z)); // x y z 0
    const __m128 squares = _mm_mul_ps(v, v);
    const __m128 yy = _mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(squares), 1));
    const __m128 s = _mm_add_ss(_mm_add_ss(squares, yy), _mm_movehl_ps(squares, squares));

    // e' = e * (3 - s * e^2) / 2
    const __m128 estimate = _mm_rsqrt_ss(s);
    const __m128 correction = _mm_sub_ss(_mm_set_ss(3.0f), _mm_mul_ss(s, _mm_mul_ss(estimate, estimate)));
    const __m128 factor = _mm_mul_ss(_mm_mul_ss(_mm_set_ss(0.5f), estimate), correction);

    // All ones unless s < 2^-46 (a NaN length passes and stays NaN).
    const __m128 keep = _mm_cmpnlt_ss(s, _mm_set_ss(kSmallestLength));
    const __m128 result = _mm_and_ps(_mm_mul_ps(v, BroadcastLane0(factor)), BroadcastLane0(keep));

    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out->x), _mm_castps_si128(result));
    _mm_store_ss(&out->z, _mm_movehl_ps(result, result));
    return out;
}

struct DoubleRow {
    __m128d low;  // columns 0, 1
    __m128d high; // columns 2, 3
};

LUMIVOX_TARGET_SSE2 DoubleRow LoadRow(const float* row) {
    const __m128 v = _mm_loadu_ps(row);
    return {_mm_cvtps_pd(v), _mm_cvtps_pd(_mm_movehl_ps(v, v))};
}

// All of M2 is in registers and each row of M1 is read before its output row is written, so
// the output may be either input.
LUMIVOX_TARGET_SSE2 D3DXMATRIX* MultiplySse2(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    const DoubleRow b[4] = {LoadRow(m2->m[0]), LoadRow(m2->m[1]), LoadRow(m2->m[2]), LoadRow(m2->m[3])};
    for (int row = 0; row < 4; ++row) {
        const DoubleRow a = LoadRow(m1->m[row]);
        const __m128d a0 = _mm_unpacklo_pd(a.low, a.low);
        const __m128d a1 = _mm_unpackhi_pd(a.low, a.low);
        const __m128d a2 = _mm_unpacklo_pd(a.high, a.high);
        const __m128d a3 = _mm_unpackhi_pd(a.high, a.high);
        __m128d low = _mm_mul_pd(a0, b[0].low);
        __m128d high = _mm_mul_pd(a0, b[0].high);
        low = _mm_add_pd(low, _mm_mul_pd(a1, b[1].low));
        high = _mm_add_pd(high, _mm_mul_pd(a1, b[1].high));
        low = _mm_add_pd(low, _mm_mul_pd(a2, b[2].low));
        high = _mm_add_pd(high, _mm_mul_pd(a2, b[2].high));
        low = _mm_add_pd(low, _mm_mul_pd(a3, b[3].low));
        high = _mm_add_pd(high, _mm_mul_pd(a3, b[3].high));
        _mm_storeu_ps(out->m[row], _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
    }
    return out;
}

constexpr MathFunctionSet kSse2{NormalizeSse2, MultiplySse2};

} // namespace

const MathFunctionSet* Sse2MathFunctions() {
    return &kSse2;
}

#else

const MathFunctionSet* Sse2MathFunctions() {
    return nullptr;
}

#endif
