#pragma once
// The world around the model: the load parameters, the model itself, the ground grid with its
// coloured axes, the sphere that marks the light and the shadow texture drawn from the light.
// Reached by every part of the program through theScene.

#include <memory>

#include "model/LineVertex.h"
#include "model/MD2Model.h"
#include "platform/d3d9/D3D9Types.h"
#include "state/ModelFile.h"
#include "state/SharedRecords.h"

struct ID3DXMesh;
struct IDirect3DSurface9;

constexpr int GRID_VERTEX_COUNT = 50;
constexpr int SHADOW_TEXTURE_SIZE = 128;

struct Grid {
    LineVertex vertices[GRID_VERTEX_COUNT];
    int lineCount;
};

class Scene {
public:
    Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    HRESULT InitData(IDirect3DDevice9* device);
    // Gives back the default-pool objects (shadow texture, its surface, the saved back buffer),
    // which must go before the device can be reset.
    void ReleaseDeviceObjects();

    void DrawShadowTexture();
    void DrawGrid();
    void DrawLightMarker();
    void DrawShadowAndPreview();

    IDirect3DDevice9* device = nullptr;
    ID3DXMesh* lightMarker = nullptr;
    ModelFile modelFile{};
    Grid grid{};
    std::unique_ptr<MD2Model> model;
    D3DDISPLAYMODE displayMode{};
    IDirect3DSurface9* shadowSurface = nullptr;
    IDirect3DSurface9* savedBackBuffer = nullptr;
    IDirect3DTexture9* shadowTexture = nullptr;

private:
    void BuildGrid();
    void CreateModel();
    void CreateLightMarker();
    void CreateShadowTexture();
};
