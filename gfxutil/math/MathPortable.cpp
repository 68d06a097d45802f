// The portable set: plain C++ for every dispatched operation, the reference the other sets are
// measured against.

#include "gfxutil/math/MathDispatch.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kUnitTolerance = 0x1p-23f;
constexpr float kSmallestNormal = 0x1p-126f;

D3DXVECTOR3* NormalizePortable(D3DXVECTOR3* out, const D3DXVECTOR3* in) {
    const float s = in->x * in->x + in->y * in->y + in->z * in->z;
    if (std::fabs(s - 1.0f) <= kUnitTolerance) {
        if (out != in) {
            *out = *in;
        }
        return out;
    }
    // Zero, denormal and NaN lengths all fail this test and give the zero vector.
    if (s > kSmallestNormal) {
        const float inverse = 1.0f / std::sqrt(s);
        const D3DXVECTOR3 scaled(in->x * inverse, in->y * inverse, in->z * inverse);
        *out = scaled;
    } else {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    return out;
}

// Products of two floats are exact in double; each element is rounded to float once.
void MultiplyInto(float (&result)[4][4], const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(m1->m[row][k]) * m2->m[k][col];
            }
            result[row][col] = static_cast<float>(sum);
        }
    }
}

D3DXMATRIX* MultiplyPortable(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    if (out == m1 || out == m2) {
        float product[4][4];
        MultiplyInto(product, m1, m2);
        std::memcpy(out->m, product, sizeof(product));
    } else {
        MultiplyInto(out->m, m1, m2);
    }
    return out;
}

D3DXMATRIX* ScalingPortable(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX{};
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* TranslationPortable(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX* RotationYPortable(D3DXMATRIX* out, float angle) {
    const float sine = std::sin(angle);
    const float cosine = std::cos(angle);
    *out = D3DXMATRIX{};
    out->_11 = cosine;
    out->_13 = -sine;
    out->_22 = 1.0f;
    out->_31 = sine;
    out->_33 = cosine;
    out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* RotationZPortable(D3DXMATRIX* out, float angle) {
    const float sine = std::sin(angle);
    const float cosine = std::cos(angle);
    *out = D3DXMATRIX{};
    out->_11 = cosine;
    out->_12 = sine;
    out->_21 = -sine;
    out->_22 = cosine;
    out->_33 = 1.0f;
    out->_44 = 1.0f;
    return out;
}

constexpr MathFunctionSet kPortable{NormalizePortable,   MultiplyPortable,  ScalingPortable,
                                    TranslationPortable, RotationYPortable, RotationZPortable};

} // namespace

const MathFunctionSet& PortableMathFunctions() {
    return kPortable;
}
