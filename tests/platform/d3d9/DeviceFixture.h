#pragma once
// A headless device and helpers for reading its pixels, shared by the device tests.

#include "platform/d3d9/Direct3D9.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

constexpr DWORD kFvfScreenColor = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kFvfScreenTex = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr DWORD kFvfScreenColorTex = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ScreenColorVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

struct ScreenTexVertex {
    float x, y, z, rhw;
    float u, v;
};

struct ScreenColorTexVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};

// Sets LUMIVOX_THREADS (null: unset) for the devices made while it lives.
class ThreadSwitch {
public:
    explicit ThreadSwitch(const char* value) {
        if (value)
            setenv("LUMIVOX_THREADS", value, 1);
        else
            unsetenv("LUMIVOX_THREADS");
    }
    ~ThreadSwitch() { unsetenv("LUMIVOX_THREADS"); }
    ThreadSwitch(const ThreadSwitch&) = delete;
    ThreadSwitch& operator=(const ThreadSwitch&) = delete;
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { CreateDevice(64, 64, D3DFMT_X8R8G8B8, true); }
    void TearDown() override { ReleaseDevice(); }

    void CreateDevice(UINT width, UINT height, D3DFORMAT format, bool depth,
                      D3DFORMAT depthFormat = D3DFMT_D16) {
        ReleaseDevice();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = D3DPRESENT_PARAMETERS{};
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = format;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = depth ? TRUE : FALSE;
        params.AutoDepthStencilFormat = depthFormat;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                    &device),
                  D3D_OK);
    }

    void ReleaseDevice() {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        device = nullptr;
        d3d = nullptr;
    }

    // Copies a render target into system memory and reads it as A8R8G8B8 pixels (X8 targets read
    // with alpha 0xFF).
    std::vector<DWORD> ReadSurface(IDirect3DSurface9* target) {
        D3DSURFACE_DESC desc{};
        target->GetDesc(&desc);
        IDirect3DSurface9* copy = nullptr;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr),
                  D3D_OK);
        EXPECT_EQ(device->GetRenderTargetData(target, copy), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::vector<DWORD> pixels(size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            const BYTE* row = static_cast<const BYTE*>(locked.pBits) + size_t(y) * locked.Pitch;
            for (UINT x = 0; x < desc.Width; ++x) {
                DWORD v = 0;
                if (desc.Format == D3DFMT_R5G6B5) {
                    const WORD w = reinterpret_cast<const WORD*>(row)[x];
                    v = 0xFF000000u | (((w >> 11) * 255 + 15) / 31) << 16 |
                        (((w >> 5 & 63) * 255 + 31) / 63) << 8 | ((w & 31) * 255 + 15) / 31;
                } else {
                    v = reinterpret_cast<const DWORD*>(row)[x];
                    if (desc.Format == D3DFMT_X8R8G8B8)
                        v |= 0xFF000000u;
                }
                pixels[size_t(y) * desc.Width + x] = v;
            }
        }
        copy->UnlockRect();
        copy->Release();
        return pixels;
    }

    std::vector<DWORD> ReadBackBuffer() {
        IDirect3DSurface9* back = nullptr;
        EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
        std::vector<DWORD> pixels = ReadSurface(back);
        back->Release();
        width = params.BackBufferWidth;
        return pixels;
    }

    DWORD Pixel(int x, int y) {
        const std::vector<DWORD> pixels = ReadBackBuffer();
        return pixels[size_t(y) * params.BackBufferWidth + x];
    }

    void ClearTo(D3DCOLOR color) {
        const DWORD flags = D3DCLEAR_TARGET | (params.EnableAutoDepthStencil ? D3DCLEAR_ZBUFFER : 0);
        ASSERT_EQ(device->Clear(0, nullptr, flags, color, 1.0f, 0), D3D_OK);
    }

    // Solid quad from (x0, y0) to (x1, y1) in screen space, clockwise, as a triangle fan.
    void DrawColorQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float z = 0.5f) {
        const ScreenColorVertex v[4] = {
            {x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x1, y1, z, 1, color}, {x0, y1, z, 1, color}};
        ASSERT_EQ(device->SetFVF(kFvfScreenColor), D3D_OK);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(ScreenColorVertex)), D3D_OK);
    }

    // Textured quad covering (x0, y0)-(x1, y1) with coordinates (u0, v0)-(u1, v1).
    void DrawTexQuad(float x0, float y0, float x1, float y1, float u0 = 0, float v0 = 0, float u1 = 1,
                     float v1 = 1) {
        const ScreenTexVertex v[4] = {{x0, y0, 0.5f, 1, u0, v0},
                                      {x1, y0, 0.5f, 1, u1, v0},
                                      {x1, y1, 0.5f, 1, u1, v1},
                                      {x0, y1, 0.5f, 1, u0, v1}};
        ASSERT_EQ(device->SetFVF(kFvfScreenTex), D3D_OK);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(ScreenTexVertex)), D3D_OK);
    }

    // A managed A8R8G8B8 texture filled from `texels` (row by row).
    IDirect3DTexture9* MakeTexture(UINT w, UINT h, const std::vector<DWORD>& texels, UINT levels = 1,
                                   D3DFORMAT format = D3DFMT_A8R8G8B8) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, levels, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        if (!texture)
            return nullptr;
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + size_t(y) * locked.Pitch)[x] =
                    texels[size_t(y) * w + x];
        texture->UnlockRect(0);
        return texture;
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params{};
    UINT width = 0;
};
