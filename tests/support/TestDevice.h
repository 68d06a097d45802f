#pragma once
// A headless software device of a given size, released with the test.

#include <gtest/gtest.h>

#include "platform/d3d9/Direct3D9.h"

class TestDevice {
public:
    explicit TestDevice(UINT width = 64, UINT height = 64) {
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = width;
        parameters.BackBufferHeight = height;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                    &device_),
                  D3D_OK);
        d3d->Release();
    }
    ~TestDevice() {
        if (device_)
            device_->Release();
    }
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    IDirect3DDevice9* get() const { return device_; }
    IDirect3DDevice9* operator->() const { return device_; }

    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        DWORD value = 0;
        device_->GetRenderState(state, &value);
        return value;
    }
    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
        DWORD value = 0;
        device_->GetTextureStageState(stage, type, &value);
        return value;
    }
    D3DMATRIX Transform(D3DTRANSFORMSTATETYPE state) const {
        D3DMATRIX m{};
        device_->GetTransform(state, &m);
        return m;
    }

private:
    IDirect3DDevice9* device_ = nullptr;
};
