#include "gfxutil/text/Sprite.h"

#include <algorithm>
#include <new>

namespace {

constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kObjectFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kKnownFlags = 0xFF;

D3DXVECTOR3 TransformPoint(const D3DXMATRIX& m, float x, float y, float z) {
    return {x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
            x * m._13 + y * m._23 + z * m._33 + m._43};
}

} // namespace

Sprite::Sprite(IDirect3DDevice9* device) : device_(device) {
    device_->AddRef();
    D3DXMatrixIdentity(&transform_);
    D3DXMatrixIdentity(&world_);
    D3DXMatrixIdentity(&view_);
}

Sprite::~Sprite() {
    if (begun_)
        saved_.Restore(device_);
    ReleaseQuads();
    device_->Release();
}

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite) {
    if (!device || !sprite)
        return D3DERR_INVALIDCALL;
    *sprite = new (std::nothrow) Sprite(device);
    return *sprite ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT Sprite::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ID3DXSprite) {
        AddRef();
        *object = static_cast<ID3DXSprite*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Sprite::AddRef() {
    return ++refs_;
}

ULONG Sprite::Release() {
    const ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Sprite::GetDevice(IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Sprite::GetTransform(D3DXMATRIX* transform) {
    if (!transform)
        return D3DERR_INVALIDCALL;
    *transform = transform_;
    return D3D_OK;
}

HRESULT Sprite::SetTransform(const D3DXMATRIX* transform) {
    if (!transform)
        return D3DERR_INVALIDCALL;
    transform_ = *transform;
    return D3D_OK;
}

HRESULT Sprite::SetWorldViewRH(const D3DXMATRIX* world, const D3DXMATRIX* view) {
    return SetWorldViewLH(world, view);
}

HRESULT Sprite::SetWorldViewLH(const D3DXMATRIX* world, const D3DXMATRIX* view) {
    if (world)
        world_ = *world;
    if (view)
        view_ = *view;
    return D3D_OK;
}

HRESULT Sprite::Begin(DWORD flags) {
    if (begun_ || (flags & ~kKnownFlags))
        return D3DERR_INVALIDCALL;
    flags_ = flags;
    if (!(flags & D3DXSPRITE_DONOTSAVESTATE))
        saved_.Capture(device_, !(flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE));
    begun_ = true;
    return D3D_OK;
}

void Sprite::PlaceQuad(Quad& quad, const RECT& src, float texWidth, float texHeight,
                       const D3DXVECTOR3& center, const D3DXVECTOR3& position, D3DCOLOR color) const {
    const float w = float(src.right - src.left);
    const float h = float(src.bottom - src.top);
    const float cornerX[4] = {0, w, w, 0};
    const float cornerY[4] = {0, 0, h, h};
    const bool screenSpace = !(flags_ & (D3DXSPRITE_OBJECTSPACE | D3DXSPRITE_BILLBOARD));
    // Screen quads move half a pixel up and left so each texel lands on one pixel centre.
    const float shift = screenSpace ? 0.5f : 0.0f;
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 p = TransformPoint(transform_, cornerX[i] - center.x + position.x,
                                             cornerY[i] - center.y + position.y, position.z - center.z);
        Vertex& v = quad.corners[i];
        v = {p.x - shift,
             p.y - shift,
             p.z,
             1.0f,
             color,
             (float(src.left) + cornerX[i]) / texWidth,
             (float(src.top) + cornerY[i]) / texHeight};
        if (screenSpace)
            v.z = std::clamp(v.z, 0.0f, 1.0f);
    }
    if (flags_ & D3DXSPRITE_BILLBOARD) {
        // Face the viewer: the quad keeps its shape around its centre, moved into view space.
        D3DXMATRIX worldView;
        D3DXMatrixMultiply(&worldView, &world_, &view_);
        const D3DXVECTOR3 anchor = TransformPoint(transform_, position.x, position.y, position.z);
        const D3DXVECTOR3 eye = TransformPoint(worldView, anchor.x, anchor.y, anchor.z);
        for (Vertex& v : quad.corners) {
            v.x = eye.x + (v.x - anchor.x);
            v.y = eye.y - (v.y - anchor.y);
            v.z = eye.z;
        }
    }
    quad.depth = (quad.corners[0].z + quad.corners[2].z) * 0.5f;
}

HRESULT Sprite::Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                     const D3DXVECTOR3* position, D3DCOLOR color) {
    if (!begun_ || !texture)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    const HRESULT hr = texture->GetLevelDesc(0, &desc);
    if (FAILED(hr))
        return hr;
    const RECT whole{0, 0, LONG(desc.Width), LONG(desc.Height)};
    const RECT src = srcRect ? *srcRect : whole;
    if (src.right <= src.left || src.bottom <= src.top)
        return D3D_OK;
    const D3DXVECTOR3 origin(0, 0, 0);
    Quad quad;
    PlaceQuad(quad, src, float(desc.Width), float(desc.Height), center ? *center : origin,
              position ? *position : origin, color);
    quad.texture = texture;
    const auto group = std::find(textureGroups_.begin(), textureGroups_.end(), texture);
    quad.textureGroup = std::size_t(group - textureGroups_.begin());
    if (group == textureGroups_.end())
        textureGroups_.push_back(texture);
    texture->AddRef();
    quads_.push_back(quad);
    return D3D_OK;
}

void Sprite::SortQuads() {
    const bool byTexture = flags_ & D3DXSPRITE_SORT_TEXTURE;
    const bool frontToBack = flags_ & D3DXSPRITE_SORT_DEPTH_FRONTTOBACK;
    const bool backToFront = flags_ & D3DXSPRITE_SORT_DEPTH_BACKTOFRONT;
    if (!byTexture && !frontToBack && !backToFront)
        return;
    // Textures are grouped in the order they were first drawn, so the result does not depend on
    // where the textures happen to live in memory.
    std::stable_sort(quads_.begin(), quads_.end(), [&](const Quad& a, const Quad& b) {
        if (frontToBack && a.depth != b.depth)
            return a.depth < b.depth;
        if (backToFront && a.depth != b.depth)
            return a.depth > b.depth;
        if (byTexture)
            return a.textureGroup < b.textureGroup;
        return false;
    });
}

HRESULT Sprite::DrawRun(std::size_t first, std::size_t last) {
    const bool screenSpace = !(flags_ & (D3DXSPRITE_OBJECTSPACE | D3DXSPRITE_BILLBOARD));
    vertices_.clear();
    static constexpr int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3};
    for (std::size_t q = first; q < last; ++q)
        for (int corner : kTriangleCorners)
            vertices_.push_back(quads_[q].corners[corner]);
    device_->SetTexture(0, quads_[first].texture);
    const UINT triangles = UINT(2 * (last - first));
    if (screenSpace)
        return device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, triangles, vertices_.data(), sizeof(Vertex));
    objectVertices_.clear();
    for (const Vertex& v : vertices_)
        objectVertices_.push_back({v.x, v.y, v.z, v.color, v.u, v.v});
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, triangles, objectVertices_.data(),
                                    sizeof(ObjectVertex));
}

HRESULT Sprite::Flush() {
    if (!begun_)
        return D3DERR_INVALIDCALL;
    if (quads_.empty())
        return D3D_OK;
    SortQuads();
    if (!(flags_ & D3DXSPRITE_DONOTMODIFY_RENDERSTATE))
        ApplySpriteStates(device_, flags_);
    const bool screenSpace = !(flags_ & (D3DXSPRITE_OBJECTSPACE | D3DXSPRITE_BILLBOARD));
    device_->SetFVF(screenSpace ? kScreenFvf : kObjectFvf);
    if (flags_ & D3DXSPRITE_BILLBOARD) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device_->SetTransform(D3DTS_WORLD, &identity);
        device_->SetTransform(D3DTS_VIEW, &identity);
    }
    HRESULT result = D3D_OK;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= quads_.size(); ++i) {
        if (i < quads_.size() && quads_[i].texture == quads_[first].texture)
            continue;
        const HRESULT hr = DrawRun(first, i);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
        first = i;
    }
    ReleaseQuads();
    return result;
}

void Sprite::ReleaseQuads() {
    for (Quad& q : quads_)
        q.texture->Release();
    quads_.clear();
    textureGroups_.clear();
}

HRESULT Sprite::End() {
    if (!begun_)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    saved_.Restore(device_);
    begun_ = false;
    return hr;
}

HRESULT Sprite::OnLostDevice() {
    if (begun_)
        End();
    return D3D_OK;
}

HRESULT Sprite::OnResetDevice() {
    return D3D_OK;
}
