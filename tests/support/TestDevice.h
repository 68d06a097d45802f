#pragma once
// A headless software device of a given size, released with the test.

#include <gtest/gtest.h>

#include "platform/d3d9/HeadlessDevice.h"

class TestDevice {
public:
    explicit TestDevice(UINT width = 64, UINT height = 64) {
        EXPECT_EQ(CreateHeadlessDevice(width, height, &device_), D3D_OK);
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
