// Resources and pools, Reset, render targets, format and capability queries, presentation.

#include "DeviceFixture.h"

#include "platform/d3d9/PresentationTarget.h"

namespace {

class ResourceTest : public DeviceTest {};

TEST_F(ResourceTest, ResetRefusesWhileDefaultPoolTextureLives) {
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                    &target, nullptr),
              D3D_OK);
    IDirect3DTexture9* managed = MakeTexture(1, 1, {0xFF00FF00});
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DPRESENT_PARAMETERS p = params;
    p.BackBufferWidth = 32;
    p.BackBufferHeight = 24;
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
    target->Release();
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL); // the level keeps the texture alive
    level->Release();
    ASSERT_EQ(device->Reset(&p), D3D_OK);

    // States are back to their defaults, the back buffer has the new size.
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CCW));
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    EXPECT_EQ(viewport.Height, 24u);
    // The managed texture survived and still draws.
    device->SetTexture(0, managed);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xFF000000);
    DrawTexQuad(0, 0, 8, 8);
    EXPECT_EQ(ReadBackBuffer()[size_t(2) * 32 + 2], 0xFF00FF00u);
    device->SetTexture(0, nullptr);
    managed->Release();
}

// What a shadow pass leaves behind: a default-pool render-target texture on stage 0, its level as
// render target, a default-pool stream and indices. The caller's references are gone; only the
// device's bindings remain, and they neither block a reset nor survive it.
TEST_F(ResourceTest, ResetDropsWhatOnlyTheDeviceStillBinds) {
    IDirect3DTexture9* shadow = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                    &shadow, nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(shadow->GetSurfaceLevel(0, &level), D3D_OK);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr), D3D_OK);
    device->SetTexture(0, shadow);
    device->SetTexture(3, shadow);
    device->SetRenderTarget(0, level);
    device->SetStreamSource(0, vb, 0, 16);
    device->SetIndices(ib);
    level->Release();
    shadow->Release();
    vb->Release();
    ib->Release();

    // Still bound and drawn into, although the caller let go.
    ClearTo(0xFF00FF00);
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, shadow);
    bound->Release();

    D3DPRESENT_PARAMETERS p = params;
    p.BackBufferWidth = 40;
    p.BackBufferHeight = 30;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    for (DWORD stage : {0u, 3u}) {
        ASSERT_EQ(device->GetTexture(stage, &bound), D3D_OK);
        EXPECT_EQ(bound, nullptr) << "stage " << stage;
    }
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    D3DSURFACE_DESC desc{};
    target->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 40u);
    EXPECT_EQ(desc.Height, 30u);
    target->Release();
    IDirect3DVertexBuffer9* stream = vb;
    UINT offset = 1, stride = 1;
    ASSERT_EQ(device->GetStreamSource(0, &stream, &offset, &stride), D3D_OK);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(stride, 0u);
    IDirect3DIndexBuffer9* indices = ib;
    ASSERT_EQ(device->GetIndices(&indices), D3D_OK);
    EXPECT_EQ(indices, nullptr);

    // The same cycle again and again, as every resize of a window does.
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                        &shadow, nullptr),
                  D3D_OK);
        device->SetTexture(0, shadow);
        shadow->Release();
        p.BackBufferWidth = UINT(8 + i);
        ASSERT_EQ(device->Reset(&p), D3D_OK) << "cycle " << i;
    }
}

TEST_F(ResourceTest, ResetRefusesWhileTheCallerHoldsABoundTexture) {
    IDirect3DTexture9* shadow = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                    &shadow, nullptr),
              D3D_OK);
    device->SetTexture(0, shadow);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DPRESENT_PARAMETERS p = params;
    p.BackBufferWidth = 40;
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);

    // A refused reset changes nothing.
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, shadow);
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_NONE));
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);

    // A reference handed back by GetTexture is the caller's as much as the first one.
    shadow->Release();
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    bound->Release();
    EXPECT_EQ(device->Reset(&p), D3D_OK);

    // Nor does the device's depth buffer or back buffer, held by the caller, block it.
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    p.BackBufferWidth = 48;
    EXPECT_EQ(device->Reset(&p), D3D_OK);
    back->Release();
}

TEST_F(ResourceTest, LockingFollowsThePoolRules) {
    IDirect3DTexture9* plain = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &plain, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(plain->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    plain->Release();

    IDirect3DTexture9* dynamic = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &dynamic, nullptr),
        D3D_OK);
    ASSERT_EQ(dynamic->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(dynamic->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    EXPECT_EQ(dynamic->UnlockRect(0), D3D_OK);
    EXPECT_EQ(dynamic->UnlockRect(0), D3DERR_INVALIDCALL);
    const RECT outside = {2, 2, 5, 3};
    EXPECT_EQ(dynamic->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    const RECT inside = {1, 2, 3, 3};
    ASSERT_EQ(dynamic->LockRect(0, &locked, &inside, 0), D3D_OK);
    dynamic->UnlockRect(0);
    EXPECT_EQ(dynamic->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL); // no such level
    dynamic->Release();

    IDirect3DTexture9* managed = nullptr;
    EXPECT_EQ(
        device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_L8, D3DPOOL_DEFAULT, &managed, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &managed, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, UpdateTextureCopiesSystemMemoryIntoTheDefaultPool) {
    IDirect3DTexture9* staging = nullptr;
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateTexture(2, 2, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(staging->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + i * locked.Pitch)[j] = 0x00C08040;
    staging->UnlockRect(0);
    EXPECT_EQ(device->UpdateTexture(target, staging), D3DERR_INVALIDCALL); // wrong direction
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    device->SetTexture(0, target);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xFF000000);
    DrawTexQuad(0, 0, 4, 4);
    EXPECT_EQ(Pixel(1, 1), 0xFFC08040u);
    device->SetTexture(0, nullptr);
    staging->Release();
    target->Release();
}

TEST_F(ResourceTest, RenderIntoTextureAndSampleIt) {
    IDirect3DTexture9* shadow = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                    &shadow, nullptr),
              D3D_OK);
    EXPECT_EQ(shadow->GetLevelCount(), 8u);
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* saved = nullptr;
    ASSERT_EQ(shadow->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &saved), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 128u); // the viewport follows the new target
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawColorQuad(64, 0, 128, 128, 0xFF0000FF);
    const std::vector<DWORD> texels = ReadSurface(level);
    EXPECT_EQ(texels[10 * 128 + 10], 0xFFFFFFFFu);
    EXPECT_EQ(texels[10 * 128 + 100], 0xFF0000FFu);

    ASSERT_EQ(device->SetRenderTarget(0, saved), D3D_OK);
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);
    device->SetTexture(0, shadow);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xFF000000);
    DrawTexQuad(0, 0, 64, 64); // half size: point sampling picks every second texel
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(40, 10), 0xFF0000FFu);
    device->SetTexture(0, nullptr);
    saved->Release();
    level->Release();
    shadow->Release();
}

TEST_F(ResourceTest, GetRenderTargetDataChecksItsDestination) {
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    IDirect3DSurface9* wrongPool = nullptr;
    IDirect3DSurface9* wrongSize = nullptr;
    ASSERT_EQ(
        device->CreateOffscreenPlainSurface(64, 64, D3DFMT_X8R8G8B8, D3DPOOL_SCRATCH, &wrongPool, nullptr),
        D3D_OK);
    ASSERT_EQ(
        device->CreateOffscreenPlainSurface(32, 64, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongSize, nullptr),
        D3D_OK);
    EXPECT_EQ(device->GetRenderTargetData(back, wrongPool), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(back, wrongSize), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(back, nullptr), D3DERR_INVALIDCALL);
    ClearTo(0xFF336699);
    EXPECT_EQ(ReadSurface(back)[100], 0xFF336699u);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(back->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL); // not a lockable back buffer
    wrongPool->Release();
    wrongSize->Release();
    back->Release();
}

TEST_F(ResourceTest, IndexedDrawFromBuffersWithADeclaration) {
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 16, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    const float quad[4][4] = {{8, 8, 0.5f, 1}, {24, 8, 0.5f, 1}, {24, 24, 0.5f, 1}, {8, 24, 0.5f, 1}};
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, quad, sizeof(quad));
    vb->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, indices, sizeof(indices));
    ib->Unlock();
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &decl), D3D_OK);
    device->SetVertexDeclaration(decl);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2),
              D3DERR_INVALIDCALL); // no stream
    device->SetStreamSource(0, vb, 0, 16);
    device->SetIndices(ib);
    ClearTo(0xFF000000);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(Pixel(10, 20), 0xFFFFFFFFu);
    // Reads past the end of a buffer are refused.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);
    UINT count = 0;
    decl->GetDeclaration(nullptr, &count);
    EXPECT_EQ(count, 2u);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    device->SetVertexDeclaration(nullptr);
    decl->Release();
    vb->Release();
    ib->Release();
}

TEST_F(ResourceTest, BadDrawArgumentsAreRefused) {
    device->SetFVF(kFvfScreenColor);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 20), D3DERR_INVALIDCALL);
    const ScreenColorVertex v[3] = {};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 8), D3DERR_INVALIDCALL); // stride too small
    EXPECT_EQ(device->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(9), 1, v, 20), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(5000), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetFVF(D3DFVF_RESERVED0 | D3DFVF_XYZ), D3DERR_INVALIDCALL);
    // Drawing from user memory cannot read a second stream.
    const D3DVERTEXELEMENT9 twoStreams[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                            {1, 0, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                            D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(twoStreams, &decl), D3D_OK);
    device->SetVertexDeclaration(decl);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 20), D3DERR_INVALIDCALL);
    device->SetVertexDeclaration(nullptr);
    decl->Release();
    device->SetFVF(kFvfScreenColor);
    // Non-finite and far-off positions draw nothing and do not crash.
    const float inf = 1.0f / 0.0f;
    const ScreenColorVertex wild[3] = {{inf, 0, 0, 1, 0}, {1e30f, 5, 0, 1, 0}, {3, -1e30f, 0, 1, 0}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, wild, sizeof(wild[0])), D3D_OK);
}

TEST_F(ResourceTest, FormatsAndCapabilities) {
    const D3DFORMAT display = D3DFMT_X8R8G8B8;
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                     D3DFMT_X8R8G8B8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                     D3DFMT_R5G6B5),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                     D3DFMT_L8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D16),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_AUTOGENMIPMAP, D3DRTYPE_TEXTURE,
                                     D3DFMT_A8R8G8B8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(1, D3DDEVTYPE_HAL, display, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
              D3DERR_INVALIDCALL);

    D3DCAPS9 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP);
    EXPECT_FALSE(caps.TextureCaps & D3DPTEXTURECAPS_POW2);
    EXPECT_FALSE(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
    EXPECT_EQ(caps.MaxTextureBlendStages, 8u);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    EXPECT_GE(caps.MaxTextureWidth, 2048u);

    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    SetAdapterDesktopSize(1920, 1080);
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Width, 1920u);
    EXPECT_EQ(mode.Height, 1080u);
    SetAdapterDesktopSize(640, 480);
    EXPECT_EQ(Direct3DCreate9(30), nullptr);
}

TEST_F(ResourceTest, ReferenceCounting) {
    IDirect3DTexture9* texture = MakeTexture(2, 2, {0, 0, 0, 0});
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u); // the level's reference counts on the texture
    EXPECT_EQ(texture->Release(), 2u);
    IDirect3DTexture9* container = nullptr;
    ASSERT_EQ(level->GetContainer(IID_IDirect3DTexture9, reinterpret_cast<void**>(&container)), D3D_OK);
    EXPECT_EQ(container, texture);
    container->Release();
    device->SetTexture(0, texture); // the device holds one more
    EXPECT_EQ(level->Release(), 2u);
    device->SetTexture(0, nullptr);
    EXPECT_EQ(texture->Release(), 0u);
    IDirect3DDevice9* again = nullptr;
    EXPECT_EQ(device->QueryInterface(IID_IDirect3DDevice9, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again->Release(), 1u);
}

class RecordingTarget : public PresentationTarget {
public:
    void PresentImage(const void* pixels, int w, int h, int pitch) override {
        ++presents;
        width = w;
        height = h;
        first = *static_cast<const DWORD*>(pixels);
        rowPitch = pitch;
    }
    int presents = 0, width = 0, height = 0, rowPitch = 0;
    DWORD first = 0;
};

TEST_F(ResourceTest, PresentHandsTheBackBufferToTheWindow) {
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK); // headless: nothing to show
    RecordingTarget window;
    ReleaseDevice();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    params.hDeviceWindow = WindowFromPresentationTarget(&window);
    params.BackBufferFormat = D3DFMT_R5G6B5;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, params.hDeviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &params, &device),
              D3D_OK);
    ClearTo(0xFFFF0000);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(window.presents, 1);
    EXPECT_EQ(window.width, 64);
    EXPECT_EQ(window.height, 64);
    EXPECT_EQ(window.first & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(window.rowPitch, 64 * 4);
}

TEST_F(ResourceTest, ResetToAnEmptyWindowKeepsAOnePixelBackBuffer) {
    D3DPRESENT_PARAMETERS p = params;
    p.BackBufferWidth = 0;
    p.BackBufferHeight = 0;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, 1u);
    EXPECT_EQ(p.BackBufferHeight, 1u);
    ClearTo(0xFF102030);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(ResourceTest, CreateDeviceChecksItsArguments) {
    IDirect3DDevice9* other = nullptr;
    D3DPRESENT_PARAMETERS p = params;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &p, &other), D3DERR_INVALIDCALL);
    p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &other),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
}

} // namespace
