#include "platform/d3d9/TextureUpdate.h"

#include "platform/d3d9/Texture.h"

#include <algorithm>

namespace {

bool PoolsFit(D3DPOOL source, D3DPOOL destination) {
    return source == D3DPOOL_SYSTEMMEM && destination == D3DPOOL_DEFAULT;
}

HRESULT CopyFlat(Texture2D& src, Texture2D& dst) {
    if (!PoolsFit(src.Pool(), dst.Pool()) || src.Format() != dst.Format())
        return D3DERR_INVALIDCALL;
    const Surface* top = dst.Level(0);
    UINT first = 0;
    while (first < src.GetLevelCount() &&
           (src.Level(first)->Width() != top->Width() || src.Level(first)->Height() != top->Height()))
        ++first;
    if (first == src.GetLevelCount() || src.GetLevelCount() - first < dst.GetLevelCount())
        return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < dst.GetLevelCount(); ++i)
        CopySurfacePixels(*src.Level(first + i), *dst.Level(i));
    return D3D_OK;
}

HRESULT CopyCube(CubeTexture& src, CubeTexture& dst) {
    if (!PoolsFit(src.Pool(), dst.Pool()) || src.Format() != dst.Format() ||
        src.GetLevelCount() != dst.GetLevelCount() || src.Face(0, 0)->Width() != dst.Face(0, 0)->Width())
        return D3DERR_INVALIDCALL;
    for (UINT face = 0; face < 6; ++face)
        for (UINT i = 0; i < dst.GetLevelCount(); ++i)
            CopySurfacePixels(*src.Face(face, i), *dst.Face(face, i));
    return D3D_OK;
}

bool SameVolume(const D3DVOLUME_DESC& a, const D3DVOLUME_DESC& b) {
    return a.Format == b.Format && a.Width == b.Width && a.Height == b.Height && a.Depth == b.Depth;
}

HRESULT CopyVolume(VolumeTexture& src, VolumeTexture& dst) {
    if (!PoolsFit(src.Pool(), dst.Pool()) || src.GetLevelCount() != dst.GetLevelCount())
        return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < dst.GetLevelCount(); ++i)
        if (!SameVolume(src.Level(i)->Desc(), dst.Level(i)->Desc()))
            return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < dst.GetLevelCount(); ++i) {
        Volume* s = src.Level(i);
        Volume* d = dst.Level(i);
        std::copy(s->Bits(), s->Bits() + size_t(s->SlicePitch()) * s->Desc().Depth, d->Bits());
        d->Changed();
    }
    return D3D_OK;
}

} // namespace

HRESULT CopyTextureToDefaultPool(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) {
    if (!source || !destination || source->GetType() != destination->GetType())
        return D3DERR_INVALIDCALL;
    switch (source->GetType()) {
    case D3DRTYPE_TEXTURE:
        return CopyFlat(*static_cast<Texture2D*>(static_cast<IDirect3DTexture9*>(source)),
                        *static_cast<Texture2D*>(static_cast<IDirect3DTexture9*>(destination)));
    case D3DRTYPE_CUBETEXTURE:
        return CopyCube(*static_cast<CubeTexture*>(static_cast<IDirect3DCubeTexture9*>(source)),
                        *static_cast<CubeTexture*>(static_cast<IDirect3DCubeTexture9*>(destination)));
    case D3DRTYPE_VOLUMETEXTURE:
        return CopyVolume(*static_cast<VolumeTexture*>(static_cast<IDirect3DVolumeTexture9*>(source)),
                          *static_cast<VolumeTexture*>(static_cast<IDirect3DVolumeTexture9*>(destination)));
    default:
        return D3DERR_INVALIDCALL;
    }
}
