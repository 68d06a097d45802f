#include "platform/d3d9/Texture.h"

#include "platform/d3d9/PixelFormats.h"

#include <algorithm>
#include <new>

namespace {

bool LockableTexture(DWORD usage, D3DPOOL pool) {
    return pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC);
}

UINT MipSize(UINT size, UINT level) {
    return std::max(1u, size >> level);
}

template <typename Interface> HRESULT QueryTexture(Interface* self, REFIID riid, REFIID own, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DBaseTexture9 ||
        riid == own) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD ClampLod(DWORD requested, DWORD levels, D3DPOOL pool, DWORD& lod) {
    const DWORD old = lod;
    if (pool == D3DPOOL_MANAGED)
        lod = std::min(requested, levels - 1);
    return old;
}

} // namespace

UINT FullMipChainLength(UINT width, UINT height, UINT depth) {
    UINT largest = std::max({width, height, depth, 1u});
    UINT levels = 1;
    while (largest > 1) {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

namespace {

// The texture object behind the interface, seen as one of its bases; null for null.
template <typename Base> Base* TextureAs(IDirect3DBaseTexture9* texture) {
    if (!texture)
        return nullptr;
    switch (texture->GetType()) {
    case D3DRTYPE_TEXTURE:
        return static_cast<Texture2D*>(static_cast<IDirect3DTexture9*>(texture));
    case D3DRTYPE_CUBETEXTURE:
        return static_cast<CubeTexture*>(static_cast<IDirect3DCubeTexture9*>(texture));
    case D3DRTYPE_VOLUMETEXTURE:
        return static_cast<VolumeTexture*>(static_cast<IDirect3DVolumeTexture9*>(texture));
    default:
        return nullptr;
    }
}

} // namespace

SampledTexture* SampledTextureOf(IDirect3DBaseTexture9* texture) {
    return TextureAs<SampledTexture>(texture);
}

DeviceBindable* BindableOf(IDirect3DBaseTexture9* texture) {
    return TextureAs<DeviceBindable>(texture);
}

// ---- 2D ----

HRESULT Texture2D::Create(DeviceLinkPtr link, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture2D** texture) {
    const UINT full = FullMipChainLength(width, height);
    levels = (levels == 0 || levels > full) ? full : levels;
    Texture2D* created = nullptr;
    try {
        created = new Texture2D(std::move(link), pool);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT i = 0; i < levels; ++i) {
        SurfaceDesc desc{format, MipSize(width, i),           MipSize(height, i), usage,
                         pool,   LockableTexture(usage, pool)};
        Surface* level = Surface::Create(created->Link(), desc, created, false);
        if (!level) {
            created->Release();
            return E_OUTOFMEMORY;
        }
        level->SetOwner(created);
        created->levels_.emplace_back(level);
    }
    created->SetLevelCount(int(levels));
    created->views_.resize(levels);
    *texture = created;
    return D3D_OK;
}

HRESULT Texture2D::QueryInterface(REFIID riid, void** object) {
    return QueryTexture<IDirect3DTexture9>(this, riid, IID_IDirect3DTexture9, object);
}

DWORD Texture2D::SetLOD(DWORD lod) {
    const DWORD old = ClampLod(lod, GetLevelCount(), Pool(), lod_);
    SetBaseLevel(int(lod_));
    return old;
}

HRESULT Texture2D::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->GetDesc(desc);
}

HRESULT Texture2D::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (!surface || level >= levels_.size())
        return D3DERR_INVALIDCALL;
    *surface = levels_[level].get();
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT Texture2D::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->LockRect(locked, rect, flags);
}

HRESULT Texture2D::UnlockRect(UINT level) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->UnlockRect();
}

void Texture2D::RefreshViews() {
    for (size_t i = 0; i < levels_.size(); ++i)
        views_[i] = levels_[i]->View();
}

// ---- Cube ----

HRESULT CubeTexture::Create(DeviceLinkPtr link, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                            D3DPOOL pool, CubeTexture** texture) {
    const UINT full = FullMipChainLength(edge, edge);
    levels = (levels == 0 || levels > full) ? full : levels;
    CubeTexture* created = nullptr;
    try {
        created = new CubeTexture(std::move(link), pool, levels);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT face = 0; face < 6; ++face) {
        for (UINT i = 0; i < levels; ++i) {
            SurfaceDesc desc{
                format, MipSize(edge, i), MipSize(edge, i), usage, pool, LockableTexture(usage, pool)};
            Surface* surface = Surface::Create(created->Link(), desc, created, false);
            if (!surface) {
                created->Release();
                return E_OUTOFMEMORY;
            }
            surface->SetOwner(created);
            created->surfaces_.emplace_back(surface);
        }
    }
    created->views_.resize(size_t(levels) * 6);
    *texture = created;
    return D3D_OK;
}

HRESULT CubeTexture::QueryInterface(REFIID riid, void** object) {
    return QueryTexture<IDirect3DCubeTexture9>(this, riid, IID_IDirect3DCubeTexture9, object);
}

DWORD CubeTexture::SetLOD(DWORD lod) {
    const DWORD old = ClampLod(lod, levelsPerFace_, Pool(), lod_);
    SetBaseLevel(int(lod_));
    return old;
}

Surface* CubeTexture::Find(D3DCUBEMAP_FACES face, UINT level) {
    if (DWORD(face) > 5 || level >= levelsPerFace_)
        return nullptr;
    return Face(face, level);
}

HRESULT CubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    Surface* surface = Find(D3DCUBEMAP_FACE_POSITIVE_X, level);
    return surface ? surface->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** result) {
    Surface* surface = Find(face, level);
    if (!surface || !result)
        return D3DERR_INVALIDCALL;
    *result = surface;
    surface->AddRef();
    return D3D_OK;
}

HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                              DWORD flags) {
    Surface* surface = Find(face, level);
    return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
    Surface* surface = Find(face, level);
    return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

void CubeTexture::RefreshViews() {
    for (size_t i = 0; i < surfaces_.size(); ++i)
        views_[i] = surfaces_[i]->View();
}

// ---- Volume ----

HRESULT VolumeTexture::Create(DeviceLinkPtr link, UINT width, UINT height, UINT depth, UINT levels,
                              DWORD usage, D3DFORMAT format, D3DPOOL pool, VolumeTexture** texture) {
    const UINT full = FullMipChainLength(width, height, depth);
    levels = (levels == 0 || levels > full) ? full : levels;
    VolumeTexture* created = nullptr;
    try {
        created = new VolumeTexture(std::move(link), pool);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT i = 0; i < levels; ++i) {
        D3DVOLUME_DESC desc{
            format, D3DRTYPE_VOLUME, usage, pool, MipSize(width, i), MipSize(height, i), MipSize(depth, i)};
        Volume* level = Volume::Create(desc, created);
        if (!level) {
            created->Release();
            return E_OUTOFMEMORY;
        }
        level->SetOwner(created);
        created->levels_.emplace_back(level);
    }
    created->SetLevelCount(int(levels));
    created->views_.resize(levels);
    *texture = created;
    return D3D_OK;
}

HRESULT VolumeTexture::QueryInterface(REFIID riid, void** object) {
    return QueryTexture<IDirect3DVolumeTexture9>(this, riid, IID_IDirect3DVolumeTexture9, object);
}

DWORD VolumeTexture::SetLOD(DWORD lod) {
    const DWORD old = ClampLod(lod, GetLevelCount(), Pool(), lod_);
    SetBaseLevel(int(lod_));
    return old;
}

HRESULT VolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->GetDesc(desc);
}

HRESULT VolumeTexture::GetVolumeLevel(UINT level, IDirect3DVolume9** volume) {
    if (!volume || level >= levels_.size())
        return D3DERR_INVALIDCALL;
    *volume = levels_[level].get();
    (*volume)->AddRef();
    return D3D_OK;
}

HRESULT VolumeTexture::LockBox(UINT level, D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->LockBox(locked, box, flags);
}

HRESULT VolumeTexture::UnlockBox(UINT level) {
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->UnlockBox();
}

void VolumeTexture::RefreshViews() {
    for (size_t i = 0; i < levels_.size(); ++i)
        views_[i] = levels_[i]->View();
}
