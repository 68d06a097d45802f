// A window's picture gets the back buffer's pixels and learns which parts changed: whatever
// changed must lie inside the named rectangles, and afterwards the picture is the back buffer.

#include "DeviceFixture.h"

#include "platform/d3d9/PictureCopy.h"
#include "platform/d3d9/PresentationTarget.h"

#include <random>

namespace {

bool Inside(const std::vector<RECT>& rects, int x, int y) {
    for (const RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

TEST(PictureCopy, ChangedPixelsAreCopiedAndNamedAndTheRestIsLeftAlone) {
    constexpr int kWidth = 21, kRows = 19, kPitch = 24; // a row not a whole number of blocks, padded
    std::mt19937 random(5);
    std::vector<DWORD> source(size_t(kRows) * kPitch), target(source.size());
    for (DWORD& p : source)
        p = random();
    target = source;
    const std::pair<int, int> changes[] = {{0, 0}, {20, 0}, {9, 3}, {13, 3}, {20, 8}, {0, 17}, {7, 18}};
    for (const auto& [x, y] : changes)
        target[size_t(y) * kPitch + x] ^= 0x00010000u;
    const DWORD padding = 0xDEADBEEFu;
    for (int y = 0; y < kRows; ++y)
        for (int x = kWidth; x < kPitch; ++x)
            target[size_t(y) * kPitch + x] = padding;
    std::vector<int> first(kRows, -1), end(kRows, -1);
    const RowCopy copy{reinterpret_cast<const BYTE*>(source.data()),
                       kPitch * 4,
                       reinterpret_cast<BYTE*>(target.data()),
                       kPitch * 4,
                       kWidth * 4,
                       kRows,
                       first.data(),
                       end.data()};
    CopyChangedRows(copy, 0, 10);
    CopyChangedRows(copy, 10, kRows);
    std::vector<RECT> rects;
    ChangedRects(copy, rects);

    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(target[size_t(y) * kPitch + x], source[size_t(y) * kPitch + x]) << x << ", " << y;
        for (int x = kWidth; x < kPitch; ++x)
            EXPECT_EQ(target[size_t(y) * kPitch + x], padding);
        EXPECT_GE(first[size_t(y)], 0);
        EXPECT_LE(first[size_t(y)], end[size_t(y)]);
        EXPECT_LE(end[size_t(y)], kWidth);
    }
    for (const int y : {1, 2, 4, 5, 6, 7, 9, 16}) // rows without a change
        EXPECT_EQ(first[size_t(y)], end[size_t(y)]) << y;
    for (const auto& [x, y] : changes) {
        EXPECT_TRUE(x >= first[size_t(y)] && x < end[size_t(y)]) << x << ", " << y;
        EXPECT_TRUE(Inside(rects, x, y)) << x << ", " << y;
    }
    ASSERT_FALSE(rects.empty());
    for (size_t i = 1; i < rects.size(); ++i)
        EXPECT_LE(rects[i - 1].bottom, rects[i].top);

    // Copied again, nothing differs and nothing is named.
    CopyChangedRows(copy, 0, kRows);
    ChangedRects(copy, rects);
    EXPECT_TRUE(rects.empty());
}

// A window that lends the device its picture and keeps what it is told.
class PictureWindow : public PresentationTarget {
public:
    void PresentImage(const void*, int, int, int) override { ++images; }
    void* PictureBuffer(int width, int height, int* pitch) override {
        *pitch = (width + 3) * 4;
        pixels.resize(size_t(height) * size_t(width + 3));
        return pixels.data();
    }
    void PictureWritten(const RECT* changed, int count) override {
        rects.assign(changed, changed + count);
        ++written;
    }
    std::vector<DWORD> pixels;
    std::vector<RECT> rects;
    int images = 0, written = 0;
};

class PictureWindowTest : public DeviceTest {
protected:
    void SetUp() override {}

    // Presents three pictures into a window: grey, grey with a square, the same again.
    void PresentPictures(const char* threads) {
        ThreadSwitch use(threads);
        PictureWindow window;
        ReleaseDevice();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        params = D3DPRESENT_PARAMETERS{};
        params.BackBufferWidth = 70;
        params.BackBufferHeight = 50;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.hDeviceWindow = WindowFromPresentationTarget(&window);
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, params.hDeviceWindow,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device),
                  D3D_OK);
        auto presentAndCompare = [&] {
            ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
            const std::vector<DWORD> back = ReadBackBuffer();
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 70; ++x)
                    ASSERT_EQ(window.pixels[size_t(y) * 73 + x], back[size_t(y) * 70 + x]) << x << ", " << y;
        };
        ClearTo(0xFF808080);
        presentAndCompare();
        ClearTo(0xFF808080);
        const D3DRECT square{30, 21, 37, 26};
        device->Clear(1, &square, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        presentAndCompare();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 70; ++x)
                EXPECT_EQ(Inside(window.rects, x, y) || x < 30 || x >= 37 || y < 21 || y >= 26, true)
                    << x << ", " << y;
        int named = 0;
        for (const RECT& r : window.rects)
            named += (r.right - r.left) * (r.bottom - r.top);
        EXPECT_LT(named, 70 * 50 / 4); // far less than the whole picture
        ClearTo(0xFF808080);
        device->Clear(1, &square, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        presentAndCompare();
        EXPECT_TRUE(window.rects.empty());
        EXPECT_EQ(window.written, 3);
        EXPECT_EQ(window.images, 0);
        ReleaseDevice();
    }
};

TEST_F(PictureWindowTest, OnlyTheChangedPartIsNamedAndThePictureIsTheBackBuffer) {
    for (const char* threads : {"1", "2", "4"})
        PresentPictures(threads);
}

} // namespace
