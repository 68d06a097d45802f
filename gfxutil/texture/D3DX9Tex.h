#pragma once
// Texture creation from image files and memory, texture requirement checks, surface loading with
// format conversion and filtering, and mip-level generation, with the D3DX 9 names and values.

#include <cstddef>

#include "gfxutil/image/ImageInfo.h"
#include "platform/d3d9/Direct3D9.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;

// The low byte of a filter value selects the filter; the bits above modify it.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x10000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x20000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x40000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x70000;
constexpr DWORD D3DX_FILTER_DITHER = 0x80000;
constexpr DWORD D3DX_FILTER_SRGB_IN = 0x200000;
constexpr DWORD D3DX_FILTER_SRGB_OUT = 0x400000;
constexpr DWORD D3DX_FILTER_SRGB = 0x600000;

// ---- Texture creation from files and memory ----

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* srcFile,
                                   IDirect3DTexture9** texture);

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                            D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture);

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData,
                                                UINT srcDataSize, UINT size, UINT mipLevels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                                PALETTEENTRY* palette, IDirect3DCubeTexture9** cubeTexture);

HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData,
                                                  UINT srcDataSize, UINT width, UINT height, UINT depth,
                                                  UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                  DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                  D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                                  IDirect3DVolumeTexture9** volumeTexture);

// ---- Blank textures and their requirements ----

HRESULT D3DXCheckTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* numMipLevels,
                                     DWORD usage, D3DFORMAT* format, D3DPOOL pool);

HRESULT D3DXCheckCubeTextureRequirements(IDirect3DDevice9* device, UINT* size, UINT* numMipLevels,
                                         DWORD usage, D3DFORMAT* format, D3DPOOL pool);

HRESULT D3DXCheckVolumeTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* depth,
                                           UINT* numMipLevels, DWORD usage, D3DFORMAT* format, D3DPOOL pool);

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

// ---- Loading pixels into surfaces and volumes ----

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface9* destSurface, const PALETTEENTRY* destPalette,
                                  const RECT* destRect, const void* srcMemory, D3DFORMAT srcFormat,
                                  UINT srcPitch, const PALETTEENTRY* srcPalette, const RECT* srcRect,
                                  DWORD filter, D3DCOLOR colorKey);

HRESULT D3DXLoadVolumeFromMemory(IDirect3DVolume9* destVolume, const PALETTEENTRY* destPalette,
                                 const D3DBOX* destBox, const void* srcMemory, D3DFORMAT srcFormat,
                                 UINT srcRowPitch, UINT srcSlicePitch, const PALETTEENTRY* srcPalette,
                                 const D3DBOX* srcBox, DWORD filter, D3DCOLOR colorKey);

// ---- Mip levels ----

HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* baseTexture, const PALETTEENTRY* palette, UINT srcLevel,
                          DWORD filter);
