#pragma once
// The sprite object: textured, colour-modulated quads collected between Begin and End and drawn
// in batches, one draw per run of quads that share a texture.

#include "gfxutil/text/D3DX9Font.h"
#include "gfxutil/text/SpriteStates.h"

#include <vector>

class Sprite final : public ID3DXSprite {
public:
    explicit Sprite(IDirect3DDevice9* device);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetTransform(D3DXMATRIX* transform) override;
    HRESULT SetTransform(const D3DXMATRIX* transform) override;
    HRESULT SetWorldViewRH(const D3DXMATRIX* world, const D3DXMATRIX* view) override;
    HRESULT SetWorldViewLH(const D3DXMATRIX* world, const D3DXMATRIX* view) override;
    HRESULT Begin(DWORD flags) override;
    HRESULT Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color) override;
    HRESULT Flush() override;
    HRESULT End() override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

private:
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    struct ObjectVertex {
        float x, y, z;
        D3DCOLOR color;
        float u, v;
    };
    struct Quad {
        IDirect3DTexture9* texture = nullptr; // holds a reference until drawn
        Vertex corners[4];
        float depth = 0;
        std::size_t textureGroup = 0; // textures numbered in the order they were first drawn
    };

    ~Sprite();
    void SortQuads();
    void PlaceQuad(Quad& quad, const RECT& src, float texWidth, float texHeight, const D3DXVECTOR3& center,
                   const D3DXVECTOR3& position, D3DCOLOR color) const;
    HRESULT DrawRun(std::size_t first, std::size_t last);
    void ReleaseQuads();

    ULONG refs_ = 1;
    IDirect3DDevice9* device_;
    D3DXMATRIX transform_;
    D3DXMATRIX world_;
    D3DXMATRIX view_;
    bool begun_ = false;
    DWORD flags_ = 0;
    std::vector<Quad> quads_;
    std::vector<IDirect3DTexture9*> textureGroups_;
    std::vector<Vertex> vertices_;
    std::vector<ObjectVertex> objectVertices_;
    SavedDeviceStates saved_;
};
