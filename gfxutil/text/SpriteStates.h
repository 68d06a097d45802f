#pragma once
// The device states the sprite sets for its quads, and a record that puts back what was there
// before, so drawing sprites leaves the device as the caller had it.

#include "gfxutil/math/D3DXMath.h"
#include "platform/d3d9/Direct3D9.h"

#include <utility>
#include <vector>

// Blending, depth, culling, texture stage and sampler states for textured, colour-modulated quads.
// Screen-space quads also switch depth testing off.
void ApplySpriteStates(IDirect3DDevice9* device, DWORD spriteFlags);

class SavedDeviceStates {
public:
    SavedDeviceStates() = default;
    ~SavedDeviceStates();
    SavedDeviceStates(const SavedDeviceStates&) = delete;
    SavedDeviceStates& operator=(const SavedDeviceStates&) = delete;

    // Remembers what ApplySpriteStates and the sprite's drawing change: with withRenderStates
    // false only the vertex format, texture, stream and transforms.
    void Capture(IDirect3DDevice9* device, bool withRenderStates);
    // Puts everything captured back and forgets it.
    void Restore(IDirect3DDevice9* device);
    bool Captured() const { return captured_; }

private:
    void ReleaseObjects();

    bool captured_ = false;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> renderStates_;
    std::vector<std::pair<D3DTEXTURESTAGESTATETYPE, DWORD>> stage0_;
    std::vector<std::pair<D3DTEXTURESTAGESTATETYPE, DWORD>> stage1_;
    std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> sampler0_;
    DWORD fvf_ = 0;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    IDirect3DBaseTexture9* texture_ = nullptr;
    IDirect3DVertexBuffer9* stream_ = nullptr;
    UINT streamOffset_ = 0;
    UINT streamStride_ = 0;
    D3DMATRIX world_{};
    D3DMATRIX view_{};
};
