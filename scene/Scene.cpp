#include "scene/Scene.h"

#include "gfxutil/mesh/D3DX9Mesh.h"
#include "gfxutil/texture/D3DX9Tex.h"
#include "platform/d3d9/Direct3D9.h"
#include "state/RenderSettings.h"

namespace {

constexpr DWORD kGridColor = 0xFF787878;
constexpr DWORD kShadowClearColor = 0xFFFFFFFF;
constexpr DWORD kShadowTextureFactor = 0xFF808080;
constexpr float kFieldOfView = 0.7853982f;
constexpr float kShadowFarPlane = 1000.0f;
constexpr DWORD kScreenVertexFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr DWORD kFloorVertexFvf = D3DFVF_XYZ | D3DFVF_TEX1;

struct ScreenVertex {
    float x, y, z, rhw, u, v;
};
static_assert(sizeof(ScreenVertex) == 24);

// Position and texture coordinates, then a float the vertex format does not read.
struct FloorVertex {
    float x, y, z, u, v, unused;
};
static_assert(sizeof(FloorVertex) == 24);

template <typename T> void ReleaseAndClear(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

D3DXMATRIX Identity() {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
}

// The lifted model's origin when the lift is on, the world's otherwise.
float ModelBaseHeight(const MD2Model* model) {
    return theRenderSettings->applyOffsetY == 1 && model ? -model->offsetY : 0.0f;
}

} // namespace

Scene* theScene = ConstructForever<Scene>();

Scene::Scene() { BuildGrid(); }

void Scene::BuildGrid() {
    for (LineVertex& v : grid.vertices)
        v = {0.0f, 0.0f, 0.0f, kGridColor};
    const float offsets[10] = {-5, -4, -3, -2, -1, 1, 2, 3, 4, 5};
    for (int i = 0; i < 10; ++i) {
        grid.vertices[2 * i] = {-5.0f, 0.0f, offsets[i], kGridColor};
        grid.vertices[2 * i + 1] = {5.0f, 0.0f, offsets[i], kGridColor};
        grid.vertices[20 + 2 * i] = {offsets[i], 0.0f, -5.0f, kGridColor};
        grid.vertices[20 + 2 * i + 1] = {offsets[i], 0.0f, 5.0f, kGridColor};
    }
    grid.vertices[40] = {-5.0f, 0.0f, 0.0f, 0xFFDCC8C8};
    grid.vertices[41] = {0.0f, 0.0f, 0.0f, 0xFFDCC8C8};
    grid.vertices[42] = {0.0f, 0.0f, 0.0f, 0xFFFF0000};
    grid.vertices[43] = {7.0f, 0.0f, 0.0f, 0xFFFF0000};
    grid.vertices[44] = {0.0f, 0.0f, -5.0f, 0xFFC8C8DC};
    grid.vertices[45] = {0.0f, 0.0f, 0.0f, 0xFFC8C8DC};
    grid.vertices[46] = {0.0f, 0.0f, 0.0f, 0xFF0000FF};
    grid.vertices[47] = {0.0f, 0.0f, 7.0f, 0xFF0000FF};
    grid.vertices[48] = {0.0f, 0.0f, 0.0f, 0xFF00FF00};
    grid.vertices[49] = {0.0f, 7.0f, 0.0f, 0xFF00FF00};
    grid.lineCount = GRID_VERTEX_COUNT / 2;
}

HRESULT Scene::InitData(IDirect3DDevice9* newDevice) {
    device = newDevice;
    CreateModel();
    CreateLightMarker();
    ReleaseDeviceObjects();
    CreateShadowTexture();
    return S_OK;
}

void Scene::CreateModel() {
    if (model) {
        model->Release();
        model.reset();
    }
    model = std::make_unique<MD2Model>();
    model->Load(device, modelFile);
}

void Scene::CreateLightMarker() {
    ReleaseAndClear(lightMarker);
    if (SUCCEEDED(D3DXCreateSphere(device, 1.0f, 5, 5, &lightMarker, nullptr)))
        D3DXComputeNormals(lightMarker, nullptr);
}

void Scene::ReleaseDeviceObjects() {
    ReleaseAndClear(shadowSurface);
    ReleaseAndClear(savedBackBuffer);
    ReleaseAndClear(shadowTexture);
}

void Scene::CreateShadowTexture() {
    if (FAILED(D3DXCreateTexture(device, SHADOW_TEXTURE_SIZE, SHADOW_TEXTURE_SIZE, 0, D3DUSAGE_RENDERTARGET,
                                 displayMode.Format, D3DPOOL_DEFAULT, &shadowTexture)))
        return;
    shadowTexture->GetSurfaceLevel(0, &shadowSurface);
    device->GetRenderTarget(0, &savedBackBuffer);
}

void Scene::DrawShadowTexture() {
    const RenderSettings& settings = *theRenderSettings;
    const float d = 7.0f * settings.worldScale;
    const D3DXVECTOR3 eye(d * settings.lightPosition.x, d * settings.lightPosition.y, d * settings.lightPosition.z);
    const D3DXVECTOR3 target(0.0f, ModelBaseHeight(model.get()), 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);

    D3DXMATRIX savedView, savedProjection, view, projection;
    device->GetTransform(D3DTS_VIEW, &savedView);
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    device->SetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &savedProjection);
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, ViewAspect(settings), 1.0f, kShadowFarPlane);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    device->SetRenderTarget(0, shadowSurface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kShadowClearColor, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->LightEnable(0, FALSE);
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, kShadowTextureFactor);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);

    device->BeginScene();
    if (model)
        model->Draw();
    device->EndScene();

    device->SetRenderTarget(0, savedBackBuffer);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetTransform(D3DTS_VIEW, &savedView);
    device->SetTransform(D3DTS_PROJECTION, &savedProjection);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
}

void Scene::DrawGrid() {
    const float k = theRenderSettings->worldScale;
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, k, k, k);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, nullptr);
    device->SetFVF(LINE_VERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_LINELIST, static_cast<UINT>(grid.lineCount), grid.vertices, sizeof(LineVertex));
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    const D3DXMATRIX identity = Identity();
    device->SetTransform(D3DTS_WORLD, &identity);
}

void Scene::DrawLightMarker() {
    // The light shines the other way while the sphere is drawn, so that its lit side faces the
    // middle of the scene.
    D3DLIGHT9 light{};
    device->GetLight(0, &light);
    light.Direction = {-light.Direction.x, -light.Direction.y, -light.Direction.z};
    device->SetLight(0, &light);

    const RenderSettings& settings = *theRenderSettings;
    const float d = 7.0f * settings.worldScale;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, d * settings.lightPosition.x, d * settings.lightPosition.y,
                          d * settings.lightPosition.z);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTexture(0, nullptr);
    if (lightMarker)
        lightMarker->DrawSubset(0);
    const D3DXMATRIX identity = Identity();
    device->SetTransform(D3DTS_WORLD, &identity);

    light.Direction = {-light.Direction.x, -light.Direction.y, -light.Direction.z};
    device->SetLight(0, &light);
}

void Scene::DrawShadowAndPreview() {
    const RenderSettings& settings = *theRenderSettings;
    const float x0 = static_cast<float>(static_cast<int>(settings.viewWidth - 128.0f));
    const float w = settings.viewWidth;
    const ScreenVertex preview[4] = {
        {x0, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
        {w, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f},
        {w, 128.0f, 0.0f, 1.0f, 1.0f, 1.0f},
        {x0, 128.0f, 0.0f, 1.0f, 0.0f, 1.0f},
    };
    device->SetTexture(0, shadowTexture);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetFVF(kScreenVertexFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, preview, sizeof(ScreenVertex));

    const bool lifted = settings.applyOffsetY == 1;
    const float lowest = model ? model->offsetY : 0.0f;
    const float c = lifted ? 20.0f : lowest + 40.0f;
    const float h = lifted ? 2.0f : lowest + 2.0f;
    const FloorVertex floor[4] = {
        {-60.0f, h, c + 60.0f, 0.0f, 0.0f, 0.0f},
        {60.0f, h, c + 60.0f, 1.0f, 0.0f, 0.0f},
        {60.0f, h, c - 60.0f, 1.0f, 1.0f, 0.0f},
        {-60.0f, h, c - 60.0f, 0.0f, 1.0f, 0.0f},
    };
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    device->SetFVF(kFloorVertexFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, floor, sizeof(FloorVertex));
}
