// Speed of the software Direct3D 9 device at 720 x 600: clearing, the model's per-triangle
// draws, a screen-filling blended quad and lines. Each benchmark also reports its time as a
// multiple of a plain memset of one 720 x 600 X8R8G8B8 frame.

#include "platform/d3d9/Direct3D9.h"
#include "platform/d3d9/HeadlessDevice.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr UINT kWidth = 720;
constexpr UINT kHeight = 600;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * 4;

// CPU time of this thread, so the ratios hold on a loaded machine too.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds for one memset of a frame, averaged over many runs.
double MemsetSeconds() {
    static const double seconds = [] {
        std::vector<unsigned char> frame(kFrameBytes);
        constexpr int runs = 400;
        const double start = ThreadSeconds();
        for (int i = 0; i < runs; ++i) {
            std::memset(frame.data(), i & 0xFF, frame.size());
            benchmark::DoNotOptimize(frame.data());
            benchmark::ClobberMemory();
        }
        return (ThreadSeconds() - start) / runs;
    }();
    return seconds;
}

struct BenchDevice {
    IDirect3DDevice9* device = nullptr;

    BenchDevice() { CreateHeadlessDevice(kWidth, kHeight, &device); }
    ~BenchDevice() { device->Release(); }

    IDirect3DTexture9* Texture(UINT w, UINT h, D3DFORMAT format) {
        IDirect3DTexture9* texture = nullptr;
        device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                    0x80000000u | (x * 255 / w) << 16 | (y * 255 / h) << 8 | 0x40;
        texture->UnlockRect(0);
        return texture;
    }
};

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

void ReportRatio(benchmark::State& state, double startSeconds) {
    const double perIteration = (ThreadSeconds() - startSeconds) / double(state.iterations());
    state.counters["x_memset"] = perIteration / MemsetSeconds();
}

void BM_MemsetFrame(benchmark::State& state) {
    std::vector<unsigned char> frame(kFrameBytes);
    int value = 0;
    const double start = ThreadSeconds();
    for (auto _ : state) {
        std::memset(frame.data(), ++value & 0xFF, frame.size());
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    ReportRatio(state, start);
}
BENCHMARK(BM_MemsetFrame);

void BM_ClearColorAndDepth(benchmark::State& state) {
    BenchDevice d;
    DWORD color = 0;
    const double start = ThreadSeconds();
    for (auto _ : state) {
        d.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000 | ++color, 1.0f, 0);
        benchmark::ClobberMemory();
    }
    ReportRatio(state, start);
}
BENCHMARK(BM_ClearColorAndDepth);

// The model's vertex: position, normal, skin coordinates and a one-dimensional shade coordinate.
struct ModelVertex {
    float x, y, z, nx, ny, nz, u, v, shade;
};
static_assert(sizeof(ModelVertex) == 36);

// 1000 small lit triangles, each drawn the way the model draws one: lighting, two textures, the
// second stage's operation, the vertex format, the draw, and resetting stage 1 and lighting.
void BM_ModelTriangles(benchmark::State& state) {
    BenchDevice d;
    IDirect3DDevice9* dev = d.device;
    IDirect3DTexture9* skin = d.Texture(256, 256, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* ramp = d.Texture(32, 32, D3DFMT_X8R8G8B8);
    D3DMATRIX projection{};
    const float c = 1.0f / std::tan(0.3926991f);
    projection._11 = c / (float(kWidth) / float(kHeight));
    projection._22 = c;
    projection._33 = 1000.0f / 999.0f;
    projection._34 = 1.0f;
    projection._43 = -1000.0f / 999.0f;
    const D3DMATRIX identity = Identity();
    dev->SetTransform(D3DTS_PROJECTION, &projection);
    dev->SetTransform(D3DTS_VIEW, &identity);
    dev->SetTransform(D3DTS_WORLD, &identity);
    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    dev->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {5, 5, 5, 5};
    light.Direction = {0.0f, -0.83205f, 0.5547f};
    light.Range = 10000.0f;
    dev->SetLight(0, &light);
    dev->LightEnable(0, TRUE);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    dev->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);

    // A 40 x 25 grid of triangles about 7 pixels on a side, facing the camera at depth 100.
    std::vector<ModelVertex> triangles;
    for (int i = 0; i < 1000; ++i) {
        const float x = -60.0f + float(i % 40) * 3.0f, y = -40.0f + float(i / 40) * 3.0f, z = 100.0f;
        const float shade = float(i % 17) / 17.0f;
        triangles.push_back({x, y, z, 0, 0.3f, -1, 0.1f, 0.1f, shade});
        triangles.push_back({x, y + 1.5f, z, 0, 0.3f, -1, 0.1f, 0.3f, shade});
        triangles.push_back({x + 1.5f, y, z, 0, 0.3f, -1, 0.3f, 0.1f, shade});
    }
    const double start = ThreadSeconds();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            dev->SetRenderState(D3DRS_LIGHTING, TRUE);
            dev->SetTexture(0, skin);
            dev->SetTexture(1, ramp);
            dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
            dev->SetFVF(0xC0212);
            dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &triangles[size_t(i) * 3], sizeof(ModelVertex));
            dev->SetTexture(1, nullptr);
            dev->SetRenderState(D3DRS_LIGHTING, TRUE);
        }
        benchmark::ClobberMemory();
    }
    ReportRatio(state, start);
    state.counters["ns_per_triangle"] = benchmark::Counter(
        1000.0 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
    dev->SetTexture(0, nullptr);
    skin->Release();
    ramp->Release();
}
BENCHMARK(BM_ModelTriangles);

// One screen-filling textured quad with alpha blending, as the text sprite draws its quads.
void BM_BlendedScreenQuad(benchmark::State& state) {
    BenchDevice d;
    IDirect3DDevice9* dev = d.device;
    IDirect3DTexture9* texture = d.Texture(256, 256, D3DFMT_A8R8G8B8);
    dev->SetTexture(0, texture);
    dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    dev->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    const float w = float(kWidth), h = float(kHeight);
    const Vertex quad[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                            {w, 0, 0, 1, 0xFFFFFFFF, 1, 0},
                            {w, h, 0, 1, 0xFFFFFFFF, 1, 1},
                            {0, h, 0, 1, 0xFFFFFFFF, 0, 1}};
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    const double start = ThreadSeconds();
    for (auto _ : state) {
        dev->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
        benchmark::ClobberMemory();
    }
    ReportRatio(state, start);
    dev->SetTexture(0, nullptr);
    texture->Release();
}
BENCHMARK(BM_BlendedScreenQuad);

// 5000 coloured lines in one draw, in perspective, depth tested.
void BM_ColoredLines(benchmark::State& state) {
    BenchDevice d;
    IDirect3DDevice9* dev = d.device;
    D3DMATRIX projection{};
    projection._11 = 1.0f;
    projection._22 = 1.2f;
    projection._33 = 1000.0f / 999.0f;
    projection._34 = 1.0f;
    projection._43 = -1000.0f / 999.0f;
    dev->SetTransform(D3DTS_PROJECTION, &projection);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    struct LineVertex {
        float x, y, z;
        D3DCOLOR color;
    };
    std::vector<LineVertex> lines;
    for (int i = 0; i < 5000; ++i) {
        const float a = float(i) * 0.0123f;
        const float r = 5.0f + float(i % 50);
        lines.push_back(
            {std::cos(a) * r, std::sin(a) * r * 0.6f, 100.0f, 0xFF000000u | DWORD(i * 2654435761u) >> 8});
        lines.push_back({std::cos(a + 1.5f) * r, std::sin(a + 1.5f) * r * 0.6f, 120.0f, 0xFF787878u});
    }
    dev->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    const double start = ThreadSeconds();
    for (auto _ : state) {
        dev->DrawPrimitiveUP(D3DPT_LINELIST, 5000, lines.data(), sizeof(LineVertex));
        benchmark::ClobberMemory();
    }
    ReportRatio(state, start);
}
BENCHMARK(BM_ColoredLines);

// One whole picture the way the viewer composes it: the shadow pass of 1000 triangles into a
// 128 x 128 texture, clear, grid, the 1000-triangle model, the floor quad blended by the shadow
// texture, the corner preview and 120 text glyph quads.
void BM_ViewerFrame(benchmark::State& state) {
    BenchDevice d;
    IDirect3DDevice9* dev = d.device;
    IDirect3DTexture9* skin = d.Texture(256, 256, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* ramp = d.Texture(32, 32, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* glyphs = d.Texture(256, 256, D3DFMT_A8R8G8B8);
    IDirect3DTexture9* shadow = nullptr;
    dev->CreateTexture(128, 128, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &shadow,
                       nullptr);
    IDirect3DSurface9* shadowSurface = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    shadow->GetSurfaceLevel(0, &shadowSurface);
    dev->GetRenderTarget(0, &backBuffer);

    D3DMATRIX projection{};
    const float c = 1.0f / std::tan(0.3926991f);
    projection._11 = c / (float(kWidth) / float(kHeight));
    projection._22 = c;
    projection._33 = 1000.0f / 999.0f;
    projection._34 = 1.0f;
    projection._43 = -1000.0f / 999.0f;
    D3DMATRIX view = Identity();
    view._42 = -20.0f; // eye 20 units above the floor
    view._43 = 10.0f;
    const D3DMATRIX identity = Identity();
    dev->SetTransform(D3DTS_PROJECTION, &projection);
    dev->SetTransform(D3DTS_VIEW, &view);
    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    dev->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {5, 5, 5, 5};
    light.Direction = {0.0f, -0.83205f, 0.5547f};
    light.Range = 10000.0f;
    dev->SetLight(0, &light);
    dev->LightEnable(0, TRUE);
    dev->SetRenderState(D3DRS_AMBIENT, 0x00202020);

    std::vector<ModelVertex> model;
    for (int i = 0; i < 1000; ++i) {
        const float x = -20.0f + float(i % 40), y = 2.0f + float(i / 40), z = 60.0f + float(i % 7);
        const float shade = float(i % 17) / 17.0f;
        model.push_back({x, y, z, 0, 0.3f, -1, 0.1f, 0.1f, shade});
        model.push_back({x, y + 1.0f, z, 0, 0.3f, -1, 0.1f, 0.3f, shade});
        model.push_back({x + 1.0f, y, z, 0, 0.3f, -1, 0.3f, 0.1f, shade});
    }
    struct LineVertex {
        float x, y, z;
        D3DCOLOR color;
    };
    std::vector<LineVertex> grid;
    for (int i = -5; i <= 5; ++i) {
        grid.push_back({-50, 0, 50.0f + float(i) * 10, 0xFF787878});
        grid.push_back({50, 0, 50.0f + float(i) * 10, 0xFF787878});
        grid.push_back({float(i) * 10, 0, 0, 0xFF787878});
        grid.push_back({float(i) * 10, 0, 100, 0xFF787878});
    }
    struct FloorVertex {
        float x, y, z, u, v, unused;
    };
    const FloorVertex floorQuad[4] = {
        {-60, 2, 120, 0, 0, 0}, {60, 2, 120, 1, 0, 0}, {60, 2, 0, 1, 1, 0}, {-60, 2, 0, 0, 1, 0}};
    struct ScreenVertex {
        float x, y, z, rhw, u, v;
    };
    const float x0 = float(kWidth) - 128.0f, w = float(kWidth);
    const ScreenVertex preview[4] = {
        {x0, 0, 0, 1, 0, 0}, {w, 0, 0, 1, 1, 0}, {w, 128, 0, 1, 1, 1}, {x0, 128, 0, 1, 0, 1}};
    struct GlyphVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    std::vector<GlyphVertex> text;
    for (int i = 0; i < 120; ++i) {
        const float gx = 5.0f + float(i % 20) * 9.0f, gy = 5.0f + float(i / 20) * 16.0f;
        const float u = float(i % 16) / 16.0f, v = float(i / 16) / 16.0f, t = 1.0f / 16.0f;
        text.push_back({gx, gy, 0, 1, 0xFFFFFF00, u, v});
        text.push_back({gx + 9, gy, 0, 1, 0xFFFFFF00, u + t, v});
        text.push_back({gx + 9, gy + 16, 0, 1, 0xFFFFFF00, u + t, v + t});
        text.push_back({gx, gy, 0, 1, 0xFFFFFF00, u, v});
        text.push_back({gx + 9, gy + 16, 0, 1, 0xFFFFFF00, u + t, v + t});
        text.push_back({gx, gy + 16, 0, 1, 0xFFFFFF00, u, v + t});
    }
    auto drawModel = [&] {
        dev->SetTransform(D3DTS_WORLD, &identity);
        for (int i = 0; i < 1000; ++i) {
            dev->SetRenderState(D3DRS_LIGHTING, TRUE);
            dev->SetTexture(0, skin);
            dev->SetTexture(1, ramp);
            dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
            dev->SetFVF(0xC0212);
            dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &model[size_t(i) * 3], sizeof(ModelVertex));
            dev->SetTexture(1, nullptr);
            dev->SetRenderState(D3DRS_LIGHTING, TRUE);
        }
    };

    const double start = ThreadSeconds();
    for (auto _ : state) {
        // Shadow pass.
        dev->SetRenderTarget(0, shadowSurface);
        dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        dev->LightEnable(0, FALSE);
        dev->SetTexture(0, nullptr);
        dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF808080);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
        dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        dev->BeginScene();
        drawModel();
        dev->EndScene();
        dev->SetRenderTarget(0, backBuffer);
        dev->LightEnable(0, TRUE);
        dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        // Main picture.
        dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF303050, 1.0f, 0);
        dev->BeginScene();
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        dev->SetRenderState(D3DRS_LIGHTING, FALSE);
        dev->SetTexture(0, nullptr);
        dev->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        dev->DrawPrimitiveUP(D3DPT_LINELIST, UINT(grid.size() / 2), grid.data(), sizeof(LineVertex));
        dev->SetRenderState(D3DRS_LIGHTING, TRUE);
        drawModel();
        dev->SetTexture(0, shadow);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, preview, sizeof(ScreenVertex));
        dev->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
        dev->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, floorQuad, sizeof(FloorVertex));
        // Overlay text: alpha-blended glyph quads modulated by the text colour.
        dev->SetTexture(0, glyphs);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(text.size() / 3), text.data(), sizeof(GlyphVertex));
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        dev->EndScene();
        dev->Present(nullptr, nullptr, nullptr, nullptr);
    }
    ReportRatio(state, start);
    dev->SetTexture(0, nullptr);
    backBuffer->Release();
    shadowSurface->Release();
    shadow->Release();
    skin->Release();
    ramp->Release();
    glyphs->Release();
}
BENCHMARK(BM_ViewerFrame);

} // namespace
