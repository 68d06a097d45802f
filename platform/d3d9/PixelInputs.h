#pragma once
// The device state a pixel setup is made from. A draw whose inputs equal those of the last setup
// made reuses that setup: it is neither prepared nor recorded again. Programs that set a state
// and set it back around every draw (a texture bound and unbound per triangle) then pay for one
// setup, not one per draw.

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/PixelPipeline.h"
#include "platform/d3d9/Surface.h"

#include <cstdint>

// The pixels of a target as the pixel pipeline sees them; empty for null.
TargetView TargetViewOf(Surface* surface);

class PixelInputs {
public:
    // The render and stage states, the viewport, the scissor rectangle and both targets.
    void CaptureStates(const DeviceState& state, const TargetView& color, const TargetView& depth);
    bool SameStates(const DeviceState& state, const TargetView& color, const TargetView& depth) const;

    // The texture and sampler states of each stage that samples in `setup` (the setup made from
    // these states); textures are told apart by serial, not by address.
    void CaptureSamplers(const PixelSetup& setup, const DeviceState& state,
                         IDirect3DBaseTexture9* const* textures);
    bool SameSamplers(const PixelSetup& setup, const DeviceState& state,
                      IDirect3DBaseTexture9* const* textures) const;

    // Forgets what was captured: nothing compares equal until the next capture.
    void Forget() { valid_ = false; }

private:
    bool valid_ = false;
    DWORD render_[D3DRS_COUNT] = {};
    DWORD stage_[kMaxTextureStages][D3DTSS_COUNT] = {};
    D3DVIEWPORT9 viewport_{};
    RECT scissor_{};
    TargetView color_, depth_;
    std::uint64_t texture_[kMaxTextureStages] = {}; // 0: no texture
    DWORD sampler_[kMaxTextureStages][D3DSAMP_COUNT] = {};
};
