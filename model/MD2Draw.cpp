// Cartoon drawing of one frame: each corner's shade coordinate comes from the angle between its
// normal and the light and looks up the cartoon ramp on stage 1, which multiplies the skin of
// stage 0. One draw call per triangle.

#include "gfxutil/math/D3DXMath.h"
#include "model/MD2Model.h"
#include "platform/d3d9/Direct3D9.h"
#include "state/RenderSettings.h"

namespace {

// The light vector in the file's axes, turned against the model's turn about its up (z) axis.
D3DXVECTOR3 ShadingLight(const RenderSettings& settings) {
    const D3DXVECTOR3 l0(-settings.lightPosition.x, -settings.lightPosition.y, -settings.lightPosition.z);
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, -settings.modelAngle);
    D3DXVECTOR3 light(turn._11 * l0.x + turn._12 * l0.y, turn._21 * l0.x + turn._22 * l0.y, l0.z);
    D3DXVec3Normalize(&light, &light);
    return light;
}

} // namespace

void MD2Model::Draw() {
    KeepCurrentFrameInside();
    if (!device)
        return;
    const RenderSettings& settings = *theRenderSettings;
    D3DXMATRIX rotation, world;
    D3DXMatrixRotationY(&rotation, settings.modelAngle);
    if (settings.applyOffsetY == 1) {
        D3DXMATRIX lift;
        D3DXMatrixTranslation(&lift, 0.0f, -offsetY, 0.0f);
        D3DXMatrixMultiply(&world, &lift, &rotation);
    } else {
        world = rotation;
    }
    device->SetTransform(D3DTS_WORLD, &world);
    if (const ModelVertex* blended = BlendedFrame())
        DrawVertices(blended);
    else
        DrawFrame(currentFrame);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
}

void MD2Model::DrawFrame(int frameIndex) {
    if (!device || frameIndex < 0 || frameIndex >= FrameCount())
        return;
    DrawVertices(frames[static_cast<std::size_t>(frameIndex)].vertices.get());
}

void MD2Model::DrawVertices(const ModelVertex* stored) {
    const RenderSettings& settings = *theRenderSettings;
    const D3DXVECTOR3 light = ShadingLight(settings);
    const float sign = settings.inverseNormals == 1 ? -1.0f : 1.0f;
    const float length = static_cast<float>(settings.normalLength);
    const bool showNormals = settings.showNormals == 1;
    const DWORD lighting = settings.lighting == 1 ? TRUE : FALSE;

    for (std::size_t t = 0; t < triangles.size(); ++t) {
        ModelVertex drawn[3];
        for (int k = 0; k < 3; ++k) {
            const ModelVertex& v = stored[t * 3 + static_cast<std::size_t>(k)];
            const float shade =
                (light.x * sign * v.nx + light.y * sign * v.ny + light.z * sign * v.nz) * 0.5f + 0.5f;
            drawn[k] = {v.x, v.z, v.y, sign * v.nx, sign * v.nz, sign * v.ny, v.u, v.v, shade};
            if (showNormals) {
                normalLines[2 * k] = {v.x, v.z, v.y, NORMAL_LINE_COLOR};
                normalLines[2 * k + 1] = {v.x + length * sign * v.nx, v.z + length * sign * v.nz,
                                          v.y + length * sign * v.ny, NORMAL_LINE_COLOR};
            }
        }
        device->SetRenderState(D3DRS_LIGHTING, lighting);
        device->SetTexture(0, skinTexture);
        device->SetTexture(1, cartoonTexture);
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetFVF(MODEL_VERTEX_FVF);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, drawn, sizeof(ModelVertex));
        device->SetTexture(1, nullptr);
        if (showNormals) {
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
            device->SetTexture(0, nullptr);
            device->SetFVF(LINE_VERTEX_FVF);
            device->DrawPrimitiveUP(D3DPT_LINELIST, 3, normalLines, sizeof(LineVertex));
        }
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }
}
