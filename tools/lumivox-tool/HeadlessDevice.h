#pragma once
// A Direct3D device without a window, for drawing and texture work on the command line.

#include "platform/d3d9/Direct3D9.h"

class HeadlessDevice {
public:
    HeadlessDevice(UINT width, UINT height);
    ~HeadlessDevice();
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;

    IDirect3DDevice9* get() const { return device_; }

private:
    IDirect3DDevice9* device_ = nullptr;
};
