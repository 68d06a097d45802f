// The SSE set: normalise from the hardware reciprocal-square-root estimate refined by one
// Newton-Raphson step, and a single-precision four-wide multiply.

#include "gfxutil/math/MathDispatch.h"

#if defined(__x86_64__) || defined(__i386__)

#include <xmmintrin.h>

#define LUMIVOX_TARGET_SSE __attribute__((target("sse")))

namespace {

// Below this the estimate is too coarse to be worth anything; such vectors become zero.
constexpr float kSmallestLength = 0x1p-46f;

LUMIVOX_TARGET_SSE __m128 RefinedInverseSqrt(__m128 s) {
    const __m128 estimate = _mm_rsqrt_ss(s);
    // e' = e * (3 - s * e^2) / 2
    const __m128 correction = _mm_sub_ss(_mm_set_ss(3.0f), _mm_mul_ss(s, _mm_mul_ss(estimate, estimate)));
    return _mm_mul_ss(_mm_mul_ss(_mm_set_ss(0.5f), estimate), correction);
}

LUMIVOX_TARGET_SSE D3DXVECTOR3* NormalizeSse(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    const __m128 v = _mm_set_ps(0.0f, in->z, in->y, in->x);
    const __m128 squares = _mm_mul_ps(v, v);
    const __m128 s =
        _mm_add_ss(_mm_add_ss(squares, _mm_shuffle_ps(squares, squares, _MM_SHUFFLE(1, 1, 1, 1))),
                   _mm_movehl_ps(squares, squares));
    // All ones unless s < 2^-46 (a NaN length passes and stays NaN).
    const __m128 keep = _mm_cmpnlt_ss(s, _mm_set_ss(kSmallestLength));
    const __m128 factor = RefinedInverseSqrt(s);
    const __m128 scaled = _mm_mul_ps(v, _mm_shuffle_ps(factor, factor, 0));
    const __m128 result = _mm_and_ps(scaled, _mm_shuffle_ps(keep, keep, 0));

    alignas(16) float lanes[4];
    _mm_store_ps(lanes, result);
    *out = D3DXVECTOR3(lanes[0], lanes[1], lanes[2]);
    return out;
}

// All of M2 is in registers and each row of M1 is read before its output row is written, so
// the output may be either input.
LUMIVOX_TARGET_SSE D3DXMATRIX* MultiplySse(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    const __m128 b0 = _mm_loadu_ps(m2->m[0]);
    const __m128 b1 = _mm_loadu_ps(m2->m[1]);
    const __m128 b2 = _mm_loadu_ps(m2->m[2]);
    const __m128 b3 = _mm_loadu_ps(m2->m[3]);
    for (int row = 0; row < 4; ++row) {
        const __m128 a = _mm_loadu_ps(m1->m[row]);
        __m128 sum = _mm_mul_ps(_mm_shuffle_ps(a, a, _MM_SHUFFLE(0, 0, 0, 0)), b0);
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(a, a, _MM_SHUFFLE(1, 1, 1, 1)), b1));
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 2, 2, 2)), b2));
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(a, a, _MM_SHUFFLE(3, 3, 3, 3)), b3));
        _mm_storeu_ps(out->m[row], sum);
    }
    return out;
}

constexpr MathFunctionSet kSse{NormalizeSse, MultiplySse};

} // namespace

const MathFunctionSet* SseMathFunctions() {
    return &kSse;
}

#else

const MathFunctionSet* SseMathFunctions() {
    return nullptr;
}

#endif
