// The device's state setters and getters. Setting a state to the value it has changes nothing,
// so the derived state is only rebuilt when something really changed.

#include "platform/d3d9/Device.h"

#include "platform/d3d9/Texture.h"

namespace {

bool IsVertexState(DWORD state) {
    switch (state) {
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_SHADEMODE:
        return true;
    default:
        return false;
    }
}

// States read by vertex processing or primitive assembly only: the pixel setup does not change
// with them (the program switches lighting around draws).
bool IsGeometryOnlyState(DWORD state) {
    switch (state) {
    case D3DRS_CULLMODE:
    case D3DRS_FILLMODE:
    case D3DRS_LASTPIXEL:
        return true;
    default:
        return IsVertexState(state) && state != D3DRS_SPECULARENABLE;
    }
}

} // namespace

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix)
        return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD:
        state_.world = *matrix;
        break;
    case D3DTS_VIEW:
        state_.view = *matrix;
        lightsDirty_ = true; // lights live in camera space
        break;
    case D3DTS_PROJECTION:
        state_.projection = *matrix;
        break;
    default:
        if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) {
            state_.texture[state - D3DTS_TEXTURE0] = *matrix;
            return D3D_OK;
        }
        if (state > D3DTS_WORLD && state < D3DTS_WORLDMATRIX(256))
            return D3D_OK; // extra world matrices: vertex blending is not used
        return D3DERR_INVALIDCALL;
    }
    transformsDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!matrix)
        return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD:
        *matrix = state_.world;
        return D3D_OK;
    case D3DTS_VIEW:
        *matrix = state_.view;
        return D3D_OK;
    case D3DTS_PROJECTION:
        *matrix = state_.projection;
        return D3D_OK;
    default:
        if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) {
            *matrix = state_.texture[state - D3DTS_TEXTURE0];
            return D3D_OK;
        }
        if (state > D3DTS_WORLD && state < D3DTS_WORLDMATRIX(256)) {
            *matrix = IdentityMatrix();
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport)
        return D3DERR_INVALIDCALL;
    const D3DVIEWPORT9& v = *viewport;
    if (v.Width == 0 || v.Height == 0 || v.X > renderTarget_->Width() || v.Y > renderTarget_->Height() ||
        v.Width > renderTarget_->Width() - v.X || v.Height > renderTarget_->Height() - v.Y ||
        !(v.MinZ >= 0.0f) || !(v.MaxZ <= 1.0f) || !(v.MinZ <= v.MaxZ))
        return D3DERR_INVALIDCALL;
    state_.viewport = v;
    viewportDirty_ = pixelDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* material) {
    if (!material)
        return D3DERR_INVALIDCALL;
    state_.material = *material;
    lightsDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* material) {
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (!light || index >= kMaxLightIndex)
        return D3DERR_INVALIDCALL;
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL || light->Range < 0.0f)
        return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size())
        state_.lights.resize(index + 1);
    state_.lights[index].light = *light;
    state_.lights[index].set = true;
    lightsDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT9* light) {
    if (!light || index >= state_.lights.size() || !state_.lights[index].set)
        return D3DERR_INVALIDCALL;
    *light = state_.lights[index].light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable) {
    if (index >= kMaxLightIndex)
        return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size())
        state_.lights.resize(index + 1);
    LightSlot& slot = state_.lights[index];
    if (!slot.set) {
        slot.light = DefaultLight();
        slot.set = true;
    }
    const bool on = enable != FALSE;
    if (slot.enabled != on) {
        slot.enabled = on;
        lightsDirty_ = true;
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable || index >= state_.lights.size() || !state_.lights[index].set)
        return D3DERR_INVALIDCALL;
    *enable = state_.lights[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (DWORD(state) >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    DWORD& slot = state_.render[state];
    if (slot == value)
        return D3D_OK;
    slot = value;
    if (!IsGeometryOnlyState(state))
        pixelDirty_ = true;
    if (IsVertexState(state))
        lightsDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!value || DWORD(state) >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = state_.render[state];
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (!texture || stage >= DWORD(kMaxSamplers))
        return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= DWORD(kMaxSamplers))
        return D3DERR_INVALIDCALL;
    if (textures_[stage] == texture)
        return D3D_OK;
    Rebind(textures_[stage], texture);
    samplersDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (!value || stage >= DWORD(kMaxTextureStages) || DWORD(type) >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    *value = state_.stage[stage][type];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= DWORD(kMaxTextureStages) || DWORD(type) >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    DWORD& slot = state_.stage[stage][type];
    if (slot == value)
        return D3D_OK;
    slot = value;
    pixelDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (!value || sampler >= DWORD(kMaxSamplers) || DWORD(type) >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    *value = state_.sampler[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= DWORD(kMaxSamplers) || DWORD(type) >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    DWORD& slot = state_.sampler[sampler][type];
    if (slot == value)
        return D3D_OK;
    slot = value;
    samplersDirty_ = true;
    return D3D_OK;
}

HRESULT Device::SetScissorRect(const RECT* rect) {
    if (!rect || rect->left > rect->right || rect->top > rect->bottom)
        return D3DERR_INVALIDCALL;
    state_.scissor = *rect;
    pixelDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetScissorRect(RECT* rect) {
    if (!rect)
        return D3DERR_INVALIDCALL;
    *rect = state_.scissor;
    return D3D_OK;
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                        IDirect3DVertexDeclaration9** declaration) {
    if (!declaration)
        return D3DERR_INVALIDCALL;
    *declaration = nullptr;
    VertexDeclaration* created = nullptr;
    const HRESULT hr = VertexDeclaration::Create(link_, elements, &created);
    if (SUCCEEDED(hr))
        *declaration = created;
    return hr;
}

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    auto* decl = static_cast<VertexDeclaration*>(declaration);
    if (decl == declaration_)
        return D3D_OK;
    ReplaceReference(declaration_, decl);
    state_.fvf = 0;
    layoutDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) {
    if (!declaration)
        return D3DERR_INVALIDCALL;
    *declaration = declaration_;
    if (declaration_)
        declaration_->AddRef();
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf) {
    if (fvf == state_.fvf && !declaration_)
        return D3D_OK;
    VertexLayout probe;
    if (fvf != 0 && !LayoutFromFvf(fvf, &probe))
        return D3DERR_INVALIDCALL;
    state_.fvf = fvf;
    SafeRelease(declaration_);
    layoutDirty_ = true;
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf) {
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream >= UINT(kMaxStreams))
        return D3DERR_INVALIDCALL;
    StreamBinding& binding = streams_[stream];
    Rebind(binding.buffer, static_cast<VertexBuffer*>(buffer));
    binding.offset = offset;
    binding.stride = stride;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) {
    if (stream >= UINT(kMaxStreams) || !buffer || !offset || !stride)
        return D3DERR_INVALIDCALL;
    const StreamBinding& binding = streams_[stream];
    *buffer = binding.buffer;
    if (binding.buffer)
        binding.buffer->AddRef();
    *offset = binding.offset;
    *stride = binding.stride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* indices) {
    Rebind(indices_, static_cast<IndexBuffer*>(indices));
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** indices) {
    if (!indices)
        return D3DERR_INVALIDCALL;
    *indices = indices_;
    if (indices_)
        indices_->AddRef();
    return D3D_OK;
}
