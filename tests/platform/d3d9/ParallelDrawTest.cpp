// A device drawing with several threads, or with another set of vector lanes, draws exactly the
// pixels of the sequential device, whatever it is asked in between: render-to-texture, textures
// changed or freed while draws wait, a draw reading its own target.

#include "DeviceFixture.h"

#include "platform/d3d9/Device.h"
#include "platform/d3d9/SpanLanes.h"
#include "platform/d3d9/WorkerPool.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <string>

namespace {

std::vector<DWORD> RandomTexels(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<DWORD> texels(static_cast<size_t>(count));
    for (DWORD& t : texels)
        t = random();
    return texels;
}

class ParallelDrawTest : public DeviceTest {
protected:
    void SetUp() override {}

    // Perspective triangles (1/w differs at the corners), textured and coloured, with the depth
    // test, in a few blend and filter states; then the same again in wire-frame.
    void DrawScatter(IDirect3DTexture9* texture, unsigned seed, int count) {
        struct Vertex {
            float x, y, z, rhw;
            D3DCOLOR color;
            float u, v;
        };
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> coordinate(-20.0f, 200.0f), unit(0.0f, 1.0f);
        device->SetTexture(0, texture);
        device->SetFVF(kFvfScreenColorTex);
        for (int i = 0; i < count; ++i) {
            Vertex v[3];
            for (Vertex& p : v)
                p = {coordinate(random),        coordinate(random), unit(random),
                     0.2f + unit(random),       DWORD(random()),    4.0f * unit(random) - 2.0f,
                     4.0f * unit(random) - 2.0f};
            device->SetSamplerState(0, D3DSAMP_MAGFILTER, i % 3 ? D3DTEXF_LINEAR : D3DTEXF_POINT);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, i % 4 == 0);
            device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
            device->SetRenderState(D3DRS_FILLMODE, i % 7 == 0 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
            device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(Vertex));
        }
        device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    }

    // A picture as the program makes one: a pass into a texture, then the back buffer drawn with
    // it, with clears of the whole target and of rectangles in between.
    std::vector<DWORD> DrawPicture(const char* threads) {
        ThreadSwitch use(threads);
        CreateDevice(173, 151, D3DFMT_X8R8G8B8, true);
        IDirect3DTexture9* skin = MakeTexture(16, 16, RandomTexels(256, 3));
        IDirect3DTexture9* target = nullptr;
        EXPECT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                        &target, nullptr),
                  D3D_OK);
        IDirect3DSurface9* targetSurface = nullptr;
        IDirect3DSurface9* back = nullptr;
        target->GetSurfaceLevel(0, &targetSurface);
        device->GetRenderTarget(0, &back);

        device->SetRenderTarget(0, targetSurface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
        DrawScatter(skin, 1, 40);
        device->SetRenderTarget(0, back);
        ClearTo(0xFF808080);
        const D3DRECT rects[2] = {{5, 7, 60, 90}, {100, 20, 170, 150}};
        device->Clear(2, rects, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        DrawScatter(target, 2, 60);
        DrawScatter(skin, 3, 60);

        // A texture changed while draws that read it wait, then freed before they are done.
        IDirect3DTexture9* changing = MakeTexture(8, 8, RandomTexels(64, 4));
        DrawScatter(changing, 5, 30);
        D3DLOCKED_RECT locked{};
        changing->LockRect(0, &locked, nullptr, 0);
        static_cast<DWORD*>(locked.pBits)[3] = 0xFFFF00FFu;
        changing->UnlockRect(0);
        DrawScatter(changing, 6, 30);
        changing->Release();
        device->SetTexture(0, nullptr);
        DrawScatter(nullptr, 7, 20);

        // A draw into the texture that reads the texture itself.
        device->SetRenderTarget(0, targetSurface);
        DrawScatter(target, 8, 20);
        device->SetRenderTarget(0, back);
        DrawScatter(target, 9, 20);
        device->Present(nullptr, nullptr, nullptr, nullptr);

        std::vector<DWORD> pixels = ReadBackBuffer();
        const std::vector<DWORD> texture = ReadSurface(targetSurface);
        pixels.insert(pixels.end(), texture.begin(), texture.end());
        device->SetTexture(0, nullptr);
        targetSurface->Release();
        back->Release();
        target->Release();
        skin->Release();
        ReleaseDevice();
        return pixels;
    }
};

TEST_F(ParallelDrawTest, AnyNumberOfThreadsDrawsTheSequentialPicture) {
    const std::vector<DWORD> sequential = DrawPicture("1");
    EXPECT_EQ(DrawPicture("2"), sequential);
    EXPECT_EQ(DrawPicture("3"), sequential);
    EXPECT_EQ(DrawPicture("8"), sequential);
}

// Many draws, so that the pool's threads draw some while the rest are recorded, then the target
// read at once, with nothing in between that would have finished the draws.
TEST_F(ParallelDrawTest, TargetsReadWhileDrawsAreBehindHoldEveryDraw) {
    auto picture = [&](const char* threads) {
        ThreadSwitch use(threads);
        CreateDevice(96, 80, D3DFMT_X8R8G8B8, true);
        IDirect3DTexture9* skin = MakeTexture(16, 16, RandomTexels(256, 11));
        ClearTo(0xFF102030);
        DrawScatter(skin, 12, 500);
        std::vector<DWORD> pixels = ReadBackBuffer();
        DrawScatter(skin, 13, 300);
        IDirect3DSurface9* back = nullptr;
        device->GetRenderTarget(0, &back);
        const std::vector<DWORD> again = ReadSurface(back);
        pixels.insert(pixels.end(), again.begin(), again.end());
        back->Release();
        device->SetTexture(0, nullptr);
        skin->Release();
        ReleaseDevice();
        return pixels;
    };
    const std::vector<DWORD> sequential = picture("1");
    EXPECT_EQ(picture("2"), sequential);
    EXPECT_EQ(picture("4"), sequential);
}

TEST_F(ParallelDrawTest, BaseAndWideLanesDrawTheSamePicture) {
    const SpanSet base = SpanSet::Base, wide = SpanSet::Avx2;
    SetSpanSetOverride(&base);
    const std::vector<DWORD> basePicture = DrawPicture("2");
    SetSpanSetOverride(&wide);
    const std::vector<DWORD> widePicture = DrawPicture("2");
    SetSpanSetOverride(nullptr);
    EXPECT_EQ(widePicture, basePicture);
}

TEST(DeviceThreads, ReadFromTheSwitchOrOnePerProcessor) {
    const int processors = [] {
        ThreadSwitch none(nullptr);
        return DeviceThreadCount();
    }();
    EXPECT_GE(processors, 1);
    {
        ThreadSwitch three("3");
        EXPECT_EQ(DeviceThreadCount(), 3);
    }
    for (const char* unusable : {"0", "many", ""}) {
        ThreadSwitch use(unusable);
        EXPECT_EQ(DeviceThreadCount(), processors) << unusable;
    }
}

TEST(WorkerPool, RunsEveryTaskOnceWhateverTheThreads) {
    for (const int threads : {1, 2, 4}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.Threads(), threads);
        for (const int count : {0, 1, 3, 64}) {
            std::vector<std::atomic<int>> runs(size_t(count) + 1);
            pool.Run(
                count, [](void* context, int i) { ++static_cast<std::atomic<int>*>(context)[i]; },
                runs.data());
            for (int i = 0; i < count; ++i)
                EXPECT_EQ(runs[size_t(i)].load(), 1) << threads << " threads, task " << i << " of " << count;
            EXPECT_EQ(runs[size_t(count)].load(), 0);
        }
    }
}

TEST(WorkerPool, BatchesHandedOverRunOnceAndOneAtATime) {
    for (const int threads : {1, 2, 4}) {
        WorkerPool pool(threads);
        std::vector<std::atomic<int>> runs(200);
        auto count = [](void* context, int i) { ++static_cast<std::atomic<int>*>(context)[i]; };
        pool.Begin(100, count, runs.data());
        // A second batch handed over before the first is finished waits for it.
        pool.Begin(100, count, runs.data() + 100);
        pool.Finish();
        EXPECT_FALSE(pool.Busy());
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i].load(), 1) << threads << " threads, task " << i;
        pool.Finish(); // nothing left: returns at once
        EXPECT_FALSE(pool.Busy());
    }
}

} // namespace
