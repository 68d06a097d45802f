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

// What the 2D, cube and volume textures share: the level count they get, their making, and the
// bounds-checked reach of one level.

// 0, or more levels than the full chain has, give the full chain.
UINT ChainLevels(UINT requested, UINT full) {
    return (requested == 0 || requested > full) ? full : requested;
}

// What `make` allocates, or null when memory runs out.
template <typename Make> auto NewTexture(Make make) -> decltype(make()) {
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Appends `count` levels made by `make(i)` to `levels`, each owned by `texture`. False when one
// cannot be made.
template <typename Owner, typename Level, typename Make>
bool AddLevels(Owner* texture, std::vector<std::unique_ptr<Level>>& levels, UINT count, Make make) {
    for (UINT i = 0; i < count; ++i) {
        Level* level = make(i);
        if (!level)
            return false;
        level->SetOwner(texture);
        levels.emplace_back(level);
    }
    return true;
}

template <typename Level> Level* LevelAt(const std::vector<std::unique_ptr<Level>>& levels, UINT level) {
    return level < levels.size() ? levels[level].get() : nullptr;
}

// Hands out a level with a reference of its own.
template <typename Interface> HRESULT HandOut(Interface* level, Interface** out) {
    if (!level || !out)
        return D3DERR_INVALIDCALL;
    *out = level;
    level->AddRef();
    return D3D_OK;
}

template <typename Level> void RefreshLevelViews(const std::vector<std::unique_ptr<Level>>& levels,
                                                 std::vector<TexelView>& views) {
    for (size_t i = 0; i < levels.size(); ++i)
        views[i] = levels[i]->View();
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
    levels = ChainLevels(levels, FullMipChainLength(width, height));
    Texture2D* created = NewTexture([&] { return new Texture2D(std::move(link), pool); });
    if (!created)
        return E_OUTOFMEMORY;
    const bool made = AddLevels(created, created->levels_, levels, [&](UINT i) {
        const SurfaceDesc desc{format, MipSize(width, i),           MipSize(height, i), usage,
                               pool,   LockableTexture(usage, pool)};
        return Surface::Create(created->Link(), desc, created, false);
    });
    if (!made) {
        created->Release();
        return E_OUTOFMEMORY;
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
    Surface* surface = LevelAt(levels_, level);
    return surface ? surface->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT Texture2D::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    return HandOut<IDirect3DSurface9>(LevelAt(levels_, level), surface);
}

HRESULT Texture2D::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    Surface* surface = LevelAt(levels_, level);
    return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT Texture2D::UnlockRect(UINT level) {
    Surface* surface = LevelAt(levels_, level);
    return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

void Texture2D::RefreshViews() { RefreshLevelViews(levels_, views_); }

// ---- Cube ----

HRESULT CubeTexture::Create(DeviceLinkPtr link, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                            D3DPOOL pool, CubeTexture** texture) {
    levels = ChainLevels(levels, FullMipChainLength(edge, edge));
    CubeTexture* created = NewTexture([&] { return new CubeTexture(std::move(link), pool, levels); });
    if (!created)
        return E_OUTOFMEMORY;
    // Face by face, each face's levels in turn.
    const bool made = AddLevels(created, created->surfaces_, levels * 6, [&](UINT i) {
        const UINT level = i % levels;
        const SurfaceDesc desc{
            format, MipSize(edge, level), MipSize(edge, level), usage, pool, LockableTexture(usage, pool)};
        return Surface::Create(created->Link(), desc, created, false);
    });
    if (!made) {
        created->Release();
        return E_OUTOFMEMORY;
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
    return HandOut<IDirect3DSurface9>(Find(face, level), result);
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

void CubeTexture::RefreshViews() { RefreshLevelViews(surfaces_, views_); }

// ---- Volume ----

HRESULT VolumeTexture::Create(DeviceLinkPtr link, UINT width, UINT height, UINT depth, UINT levels,
                              DWORD usage, D3DFORMAT format, D3DPOOL pool, VolumeTexture** texture) {
    levels = ChainLevels(levels, FullMipChainLength(width, height, depth));
    VolumeTexture* created = NewTexture([&] { return new VolumeTexture(std::move(link), pool); });
    if (!created)
        return E_OUTOFMEMORY;
    const bool made = AddLevels(created, created->levels_, levels, [&](UINT i) {
        const D3DVOLUME_DESC desc{
            format, D3DRTYPE_VOLUME, usage, pool, MipSize(width, i), MipSize(height, i), MipSize(depth, i)};
        return Volume::Create(desc, created);
    });
    if (!made) {
        created->Release();
        return E_OUTOFMEMORY;
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
    Volume* volume = LevelAt(levels_, level);
    return volume ? volume->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT VolumeTexture::GetVolumeLevel(UINT level, IDirect3DVolume9** volume) {
    return HandOut<IDirect3DVolume9>(LevelAt(levels_, level), volume);
}

HRESULT VolumeTexture::LockBox(UINT level, D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) {
    Volume* volume = LevelAt(levels_, level);
    if (volume)
        FinishPendingDraws(Link());
    return volume ? volume->LockBox(locked, box, flags) : D3DERR_INVALIDCALL;
}

HRESULT VolumeTexture::UnlockBox(UINT level) {
    Volume* volume = LevelAt(levels_, level);
    return volume ? volume->UnlockBox() : D3DERR_INVALIDCALL;
}

void VolumeTexture::RefreshViews() { RefreshLevelViews(levels_, views_); }
