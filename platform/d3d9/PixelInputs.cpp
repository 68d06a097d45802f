#include "platform/d3d9/PixelInputs.h"

#include "platform/d3d9/Texture.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameView(const TargetView& a, const TargetView& b) {
    return a.bits == b.bits && a.pitch == b.pitch && a.width == b.width && a.height == b.height &&
           a.format == b.format;
}

bool SameViewport(const D3DVIEWPORT9& a, const D3DVIEWPORT9& b) {
    return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height &&
           std::memcmp(&a.MinZ, &b.MinZ, sizeof a.MinZ) == 0 &&
           std::memcmp(&a.MaxZ, &b.MaxZ, sizeof a.MaxZ) == 0;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::uint64_t SerialOf(IDirect3DBaseTexture9* texture) {
    const SampledTexture* sampled = SampledTextureOf(texture);
    return sampled ? sampled->Serial() : 0;
}

} // namespace

TargetView TargetViewOf(Surface* surface) {
    if (!surface)
        return TargetView{};
    return {surface->Bits(), int(surface->Pitch()), int(surface->Width()), int(surface->Height()),
            surface->Format()};
}

void PixelInputs::CaptureStates(const DeviceState& state, const TargetView& color, const TargetView& depth) {
    std::memcpy(render_, state.render, sizeof render_);
    std::memcpy(stage_, state.stage, sizeof stage_);
    viewport_ = state.viewport;
    scissor_ = state.scissor;
    color_ = color;
    depth_ = depth;
    valid_ = true;
}

bool PixelInputs::SameStates(const DeviceState& state, const TargetView& color,
                             const TargetView& depth) const {
    return valid_ && SameView(color_, color) && SameView(depth_, depth) &&
           SameViewport(viewport_, state.viewport) && SameRect(scissor_, state.scissor) &&
           std::memcmp(render_, state.render, sizeof render_) == 0 &&
           std::memcmp(stage_, state.stage, sizeof stage_) == 0;
}

void PixelInputs::CaptureSamplers(const PixelSetup& setup, const DeviceState& state,
                                  IDirect3DBaseTexture9* const* textures) {
    for (int s = 0; s < kMaxTextureStages; ++s) {
        const bool samples = s < setup.stageCount && setup.stageSamples[s];
        texture_[s] = samples ? SerialOf(textures[s]) : 0;
        if (samples)
            std::memcpy(sampler_[s], state.sampler[s], sizeof sampler_[s]);
    }
}

bool PixelInputs::SameSamplers(const PixelSetup& setup, const DeviceState& state,
                               IDirect3DBaseTexture9* const* textures) const {
    if (!valid_)
        return false;
    for (int s = 0; s < setup.stageCount; ++s) {
        if (!setup.stageSamples[s])
            continue;
        if (!std::equal(sampler_[s], sampler_[s] + D3DSAMP_COUNT, state.sampler[s]) ||
            texture_[s] != SerialOf(textures[s]))
            return false;
    }
    return true;
}
