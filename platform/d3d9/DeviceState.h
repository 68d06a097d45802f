#pragma once
// Every state a device keeps, and their Direct3D 9 defaults.

#include "platform/d3d9/D3D9Types.h"

#include <vector>

constexpr int kMaxTextureStages = 8;
constexpr int kMaxSamplers = 16;
constexpr DWORD kMaxLightIndex = 4096;
constexpr int kMaxActiveLights = 8;

struct LightSlot {
    D3DLIGHT9 light{};
    bool set = false;
    bool enabled = false;
};

struct DeviceState {
    DWORD render[D3DRS_COUNT] = {};
    DWORD stage[kMaxTextureStages][D3DTSS_COUNT] = {};
    DWORD sampler[kMaxSamplers][D3DSAMP_COUNT] = {};
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATRIX texture[kMaxTextureStages]{};
    D3DMATERIAL9 material{};
    std::vector<LightSlot> lights;
    D3DVIEWPORT9 viewport{};
    RECT scissor{};
    DWORD fvf = 0;
};

// Puts every state to its default. `autoDepth` says whether the device has an automatic depth
// buffer (D3DRS_ZENABLE then starts TRUE); the viewport and scissor cover `width` x `height`.
void ResetDeviceState(DeviceState& state, bool autoDepth, UINT width, UINT height);

// The light a device uses for an index that was enabled without being set.
D3DLIGHT9 DefaultLight();

D3DMATRIX IdentityMatrix();

inline DWORD FloatBits(float f) {
    DWORD d;
    __builtin_memcpy(&d, &f, 4);
    return d;
}
inline float BitsFloat(DWORD d) {
    float f;
    __builtin_memcpy(&f, &d, 4);
    return f;
}
