#include "gfxutil/text/SpriteStates.h"

#include "gfxutil/text/D3DX9Font.h"

#include <initializer_list>

namespace {

struct RenderStateValue {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

const std::initializer_list<RenderStateValue> kCommonRenderStates = {
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN | D3DCOLORWRITEENABLE_BLUE |
                                 D3DCOLORWRITEENABLE_ALPHA},
    {D3DRS_SRGBWRITEENABLE, FALSE},
    {D3DRS_WRAP0, 0},
    {D3DRS_ZENABLE, D3DZB_FALSE},
};

struct StageStateValue {
    D3DTEXTURESTAGESTATETYPE state;
    DWORD value;
};

const std::initializer_list<StageStateValue> kStage0States = {
    {D3DTSS_COLOROP, D3DTOP_MODULATE}, {D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {D3DTSS_TEXCOORDINDEX, 0},         {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {D3DTSS_RESULTARG, D3DTA_CURRENT},
};

const std::initializer_list<StageStateValue> kStage1States = {
    {D3DTSS_COLOROP, D3DTOP_DISABLE},
    {D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

struct SamplerStateValue {
    D3DSAMPLERSTATETYPE state;
    DWORD value;
};

const std::initializer_list<SamplerStateValue> kSampler0States = {
    {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP},
    {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP},
    {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MAXMIPLEVEL, 0},
    {D3DSAMP_MIPMAPLODBIAS, 0},
    {D3DSAMP_SRGBTEXTURE, 0},
};

} // namespace

void ApplySpriteStates(IDirect3DDevice9* device, DWORD spriteFlags) {
    const bool blend = (spriteFlags & D3DXSPRITE_ALPHABLEND) != 0;
    const bool objectSpace = (spriteFlags & (D3DXSPRITE_OBJECTSPACE | D3DXSPRITE_BILLBOARD)) != 0;
    for (const RenderStateValue& s : kCommonRenderStates) {
        DWORD value = s.value;
        if (s.state == D3DRS_ALPHABLENDENABLE || s.state == D3DRS_ALPHATESTENABLE)
            value = blend ? TRUE : FALSE;
        if (s.state == D3DRS_ZENABLE && objectSpace)
            continue;
        device->SetRenderState(s.state, value);
    }
    for (const StageStateValue& s : kStage0States)
        device->SetTextureStageState(0, s.state, s.value);
    for (const StageStateValue& s : kStage1States)
        device->SetTextureStageState(1, s.state, s.value);
    for (const SamplerStateValue& s : kSampler0States)
        device->SetSamplerState(0, s.state, s.value);
}

SavedDeviceStates::~SavedDeviceStates() {
    ReleaseObjects();
}

void SavedDeviceStates::ReleaseObjects() {
    for (IUnknown** object :
         {reinterpret_cast<IUnknown**>(&declaration_), reinterpret_cast<IUnknown**>(&texture_),
          reinterpret_cast<IUnknown**>(&stream_)}) {
        if (*object)
            (*object)->Release();
        *object = nullptr;
    }
}

void SavedDeviceStates::Capture(IDirect3DDevice9* device, bool withRenderStates) {
    ReleaseObjects();
    renderStates_.clear();
    stage0_.clear();
    stage1_.clear();
    sampler0_.clear();
    if (withRenderStates) {
        DWORD value = 0;
        for (const RenderStateValue& s : kCommonRenderStates)
            if (SUCCEEDED(device->GetRenderState(s.state, &value)))
                renderStates_.emplace_back(s.state, value);
        for (const StageStateValue& s : kStage0States)
            if (SUCCEEDED(device->GetTextureStageState(0, s.state, &value)))
                stage0_.emplace_back(s.state, value);
        for (const StageStateValue& s : kStage1States)
            if (SUCCEEDED(device->GetTextureStageState(1, s.state, &value)))
                stage1_.emplace_back(s.state, value);
        for (const SamplerStateValue& s : kSampler0States)
            if (SUCCEEDED(device->GetSamplerState(0, s.state, &value)))
                sampler0_.emplace_back(s.state, value);
    }
    device->GetFVF(&fvf_);
    device->GetVertexDeclaration(&declaration_);
    device->GetTexture(0, &texture_);
    device->GetStreamSource(0, &stream_, &streamOffset_, &streamStride_);
    device->GetTransform(D3DTS_WORLD, &world_);
    device->GetTransform(D3DTS_VIEW, &view_);
    captured_ = true;
}

void SavedDeviceStates::Restore(IDirect3DDevice9* device) {
    if (!captured_)
        return;
    for (const auto& [state, value] : renderStates_)
        device->SetRenderState(state, value);
    for (const auto& [state, value] : stage0_)
        device->SetTextureStageState(0, state, value);
    for (const auto& [state, value] : stage1_)
        device->SetTextureStageState(1, state, value);
    for (const auto& [state, value] : sampler0_)
        device->SetSamplerState(0, state, value);
    // A declaration made from a vertex format is put back through the format.
    if (fvf_ != 0)
        device->SetFVF(fvf_);
    else
        device->SetVertexDeclaration(declaration_);
    device->SetTexture(0, texture_);
    device->SetStreamSource(0, stream_, streamOffset_, streamStride_);
    device->SetTransform(D3DTS_WORLD, &world_);
    device->SetTransform(D3DTS_VIEW, &view_);
    ReleaseObjects();
    captured_ = false;
}
