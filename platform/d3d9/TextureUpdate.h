#pragma once
// UpdateTexture: copying a system-memory texture into a default-pool texture of the same kind
// and format.

#include "platform/d3d9/Direct3D9.h"

// Copies the levels of `source` (system memory) into `destination` (default pool). The source may
// have more, larger levels; levels are matched by size. Anything else that does not match gives
// D3DERR_INVALIDCALL and copies nothing.
HRESULT CopyTextureToDefaultPool(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination);
