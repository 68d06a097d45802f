#pragma once
// Adjusts a wished-for texture (size, depth, mip levels, format) to what the device can create.

#include "platform/d3d9/Direct3D9.h"

// Usage bits a texture request may carry: render target, depth stencil, software processing,
// dynamic, automatic mip generation, displacement map and the query bits.
constexpr DWORD kInvalidTextureUsage = 0xFFE039EC;
// What is passed on to texture creation: the query bits removed.
constexpr DWORD kCreationUsageMask = 0xFFE07FFF;

// `depth` may be null for 2D and cube textures; the other pointers must be valid. `usage`
// D3DX_DEFAULT counts as 0. `resourceType` is D3DRTYPE_TEXTURE, _CUBETEXTURE or _VOLUMETEXTURE.
// Returns D3DERR_INVALIDCALL for bad usage, pool or arguments, D3DERR_NOTAVAILABLE when no
// supported format is close enough, or the device's error.
HRESULT CheckTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* depth,
                                 UINT* mipLevels, DWORD usage, D3DFORMAT* format, D3DPOOL pool,
                                 D3DRESOURCETYPE resourceType);

// The closest format to `format` that the device supports for this usage and resource type on
// its current display mode; D3DFMT_UNKNOWN when none is close enough.
D3DFORMAT FindClosestDeviceFormat(IDirect3DDevice9* device, D3DFORMAT format, DWORD usage,
                                  D3DRESOURCETYPE resourceType);

// The smallest power of two not below `value` (1 for 0).
UINT NextPowerOfTwo(UINT value);
bool IsPowerOfTwo(UINT value);
