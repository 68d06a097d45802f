#pragma once
// The three texture kinds (2D, cube, volume) and what the sampler needs from any of them.

#include "platform/d3d9/Surface.h"
#include "platform/d3d9/Volume.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

enum class TextureKind { Flat, Cube, Volume };

class SampledTexture {
public:
    virtual ~SampledTexture() = default;
    TextureKind Kind() const { return kind_; }
    int LevelCount() const { return levelCount_; }
    // One view per level (cube textures: six faces of `LevelCount()` views each, face by face),
    // brought up to date with the texture's pixels.
    const TexelView* Views() {
        if (viewsStale_) {
            RefreshViews();
            viewsStale_ = false;
        }
        return views_.data();
    }
    void MarkStale() {
        viewsStale_ = true;
        ++version_;
    }
    // The most detailed level sampled (SetLOD of managed textures).
    int BaseLevel() const { return baseLevel_; }
    // Unique to this texture for the life of the process (never 0): unlike its address, it is not
    // given again to a texture made after this one is destroyed.
    std::uint64_t Serial() const { return serial_; }
    // Changes whenever the pixels or the most detailed level sampled change.
    std::uint64_t Version() const { return version_; }

protected:
    SampledTexture(TextureKind kind, int levels) : kind_(kind), levelCount_(levels), serial_(NextSerial()) {}
    void SetLevelCount(int levels) { levelCount_ = levels; }
    void SetBaseLevel(int level) {
        baseLevel_ = level;
        ++version_;
    }
    virtual void RefreshViews() = 0;
    std::vector<TexelView> views_;

private:
    static std::uint64_t NextSerial() {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }

    bool viewsStale_ = true;
    int baseLevel_ = 0;
    TextureKind kind_;
    int levelCount_;
    std::uint64_t serial_;
    std::uint64_t version_ = 0;
};

// The sampler's view of a texture made by this device; null for null.
SampledTexture* SampledTextureOf(IDirect3DBaseTexture9* texture);

// Number of levels of a full chain down to 1 x 1 (x 1).
UINT FullMipChainLength(UINT width, UINT height, UINT depth = 1);

class Texture2D : public DeviceResource<IDirect3DTexture9>, public SampledTexture {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture2D** texture);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return DWORD(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }

    void RefreshViews() override;
    Surface* Level(UINT level) { return levels_[level].get(); }
    D3DFORMAT Format() const { return levels_[0]->Format(); }

private:
    Texture2D(DeviceLinkPtr link, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, true), SampledTexture(TextureKind::Flat, 0) {}

    std::vector<std::unique_ptr<Surface>> levels_;
    DWORD lod_ = 0;
};

class CubeTexture : public DeviceResource<IDirect3DCubeTexture9>, public SampledTexture {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, CubeTexture** texture);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return levelsPerFace_; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES, const RECT*) override { return D3D_OK; }

    void RefreshViews() override;
    Surface* Face(UINT face, UINT level) { return surfaces_[face * levelsPerFace_ + level].get(); }
    D3DFORMAT Format() const { return surfaces_[0]->Format(); }

private:
    CubeTexture(DeviceLinkPtr link, D3DPOOL pool, UINT levels)
        : DeviceResource(std::move(link), pool, true), SampledTexture(TextureKind::Cube, int(levels)),
          levelsPerFace_(levels) {}
    Surface* Find(D3DCUBEMAP_FACES face, UINT level);

    UINT levelsPerFace_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    DWORD lod_ = 0;
};

class VolumeTexture : public DeviceResource<IDirect3DVolumeTexture9>, public SampledTexture {
public:
    static HRESULT Create(DeviceLinkPtr link, UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, VolumeTexture** texture);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VOLUMETEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return DWORD(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;
    HRESULT GetVolumeLevel(UINT level, IDirect3DVolume9** volume) override;
    HRESULT LockBox(UINT level, D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox(UINT level) override;
    HRESULT AddDirtyBox(const D3DBOX*) override { return D3D_OK; }

    void RefreshViews() override;
    Volume* Level(UINT level) { return levels_[level].get(); }

private:
    VolumeTexture(DeviceLinkPtr link, D3DPOOL pool)
        : DeviceResource(std::move(link), pool, true), SampledTexture(TextureKind::Volume, 0) {}

    std::vector<std::unique_ptr<Volume>> levels_;
    DWORD lod_ = 0;
};
