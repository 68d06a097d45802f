#include "HeadlessDevice.h"

#include "platform/d3d9/HeadlessDevice.h"

HeadlessDevice::HeadlessDevice(UINT width, UINT height) { CreateHeadlessDevice(width, height, &device_); }

HeadlessDevice::~HeadlessDevice() {
    if (device_)
        device_->Release();
}
