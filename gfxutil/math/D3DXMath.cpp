// The math operations that are not dispatched: identity, look-at and perspective. The six
// dispatched ones are entered through the table in MathDispatch.cpp.

#include "gfxutil/math/D3DXMath.h"

#include <cmath>

namespace {

D3DXVECTOR3 Subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return D3DXVECTOR3(a.x - b.x, a.y - b.y, a.z - b.z);
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX{};
    out->_11 = 1.0f;
    out->_22 = 1.0f;
    out->_33 = 1.0f;
    out->_44 = 1.0f;
    return out;
}

// When up is parallel to the view direction the x axis normalises to zero and the matrix
// degenerates; callers keep them apart.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zAxis = Subtract(*at, *eye);
    D3DXVec3Normalize(&zAxis, &zAxis);
    D3DXVECTOR3 xAxis = Cross(*up, zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    const D3DXVECTOR3 yAxis = Cross(zAxis, xAxis);

    out->_11 = xAxis.x;
    out->_12 = yAxis.x;
    out->_13 = zAxis.x;
    out->_14 = 0.0f;
    out->_21 = xAxis.y;
    out->_22 = yAxis.y;
    out->_23 = zAxis.y;
    out->_24 = 0.0f;
    out->_31 = xAxis.z;
    out->_32 = yAxis.z;
    out->_33 = zAxis.z;
    out->_34 = 0.0f;
    out->_41 = -Dot(xAxis, *eye);
    out->_42 = -Dot(yAxis, *eye);
    out->_43 = -Dot(zAxis, *eye);
    out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float halfFov = fovY * 0.5f;
    const float cosine = std::cos(halfFov);
    const float sine = std::sin(halfFov);
    const float yScale = cosine / sine;
    const float depthScale = zf / (zf - zn);
    *out = D3DXMATRIX{};
    out->_11 = yScale / aspect;
    out->_22 = yScale;
    out->_33 = depthScale;
    out->_34 = 1.0f;
    out->_43 = -zn * depthScale;
    return out;
}
