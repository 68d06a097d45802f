#pragma once

#include "platform/d3d9/HeadlessDevice.h"
// A headless device with a back buffer to draw text on, and helpers that read its pixels.

#include "gfxutil/text/D3DX9Font.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace fonttest {

class HeadlessDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 256;
    static constexpr UINT kHeight = 96;

    void SetUp() override { ASSERT_EQ(CreateHeadlessDevice(kWidth, kHeight, &device), D3D_OK); }

    void TearDown() override {
        if (device)
            device->Release();
    }

    void Clear(D3DCOLOR color = 0xFF000000u) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0), D3D_OK);
    }

    // The back buffer as X8R8G8B8 values with the unused byte cleared, row by row.
    std::vector<DWORD> ReadBackBuffer() {
        std::vector<DWORD> pixels(std::size_t(kWidth) * kHeight, 0);
        IDirect3DSurface9* back = nullptr;
        EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
        if (!back)
            return pixels;
        IDirect3DSurface9* copy = nullptr;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr),
                  D3D_OK);
        EXPECT_EQ(device->GetRenderTargetData(back, copy), D3D_OK);
        D3DLOCKED_RECT locked{};
        if (copy && copy->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK) {
            for (UINT y = 0; y < kHeight; ++y) {
                const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) +
                                                                 std::size_t(y) * locked.Pitch);
                for (UINT x = 0; x < kWidth; ++x)
                    pixels[std::size_t(y) * kWidth + x] = row[x] & 0x00FFFFFFu;
            }
            copy->UnlockRect();
        }
        if (copy)
            copy->Release();
        back->Release();
        return pixels;
    }

    // Counts pixels inside [x0, x1) x [y0, y1) that satisfy the test.
    static int CountPixels(const std::vector<DWORD>& pixels, int x0, int y0, int x1, int y1,
                           const std::function<bool(DWORD)>& test) {
        int count = 0;
        for (int y = std::max(y0, 0); y < std::min<int>(y1, kHeight); ++y)
            for (int x = std::max(x0, 0); x < std::min<int>(x1, kWidth); ++x)
                if (test(pixels[std::size_t(y) * kWidth + x]))
                    ++count;
        return count;
    }

    static bool NotBlack(DWORD pixel) { return (pixel & 0x00FFFFFFu) != 0; }

    // Bright red and green with no blue: yellow text over black.
    static bool Yellowish(DWORD pixel) {
        const DWORD r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        return r > 0x80 && g > 0x80 && b == 0;
    }

    IDirect3DDevice9* device = nullptr;
};

} // namespace fonttest
