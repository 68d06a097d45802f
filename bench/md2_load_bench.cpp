// Loading MD2 files: the bundled model and a model of real size (1000 frames of 2500 triangles),
// against merely writing the same number of bytes into fresh memory.

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>
#include <filesystem>
#include <memory>
#include <string>

#include "model/MD2Model.h"
#include "model/MD2Writer.h"

namespace {

constexpr int kLargeFrames = 1000;
constexpr int kLargeTriangles = 2500;

// A closed band of quads around a cylinder, waving from frame to frame.
MD2WriterModel MakeLargeModel() {
    MD2WriterModel model;
    const int columns = 50;
    const int rows = kLargeTriangles / (2 * columns);
    model.vertexCount = columns * (rows + 1);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < columns; ++c)
            model.texCoords.push_back({static_cast<std::uint16_t>(c * 5), static_cast<std::uint16_t>(r * 5)});
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const auto a = static_cast<std::uint16_t>(r * columns + c);
            const auto b = static_cast<std::uint16_t>(r * columns + (c + 1) % columns);
            const auto d = static_cast<std::uint16_t>(a + columns);
            const auto e = static_cast<std::uint16_t>(b + columns);
            model.triangles.push_back({{a, d, b}, {a, d, b}});
            model.triangles.push_back({{b, d, e}, {b, d, e}});
        }
    }
    for (int f = 0; f < kLargeFrames; ++f) {
        MD2WriterFrame frame;
        frame.scale = {0.25f, 0.25f, 0.25f};
        frame.translate = {-32.0f, -32.0f, -24.0f};
        char name[16];
        std::snprintf(name, sizeof name, "pose%03d%02d", f / 10, f % 10); // blocks of ten frames
        frame.name = name;
        for (int r = 0; r <= rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const float angle = 6.2831853f * c / columns;
                const float radius = 100.0f + 20.0f * std::sin(0.1f * f + 0.3f * r);
                const float x = std::cos(angle), y = std::sin(angle);
                frame.vertices.push_back({{static_cast<std::uint8_t>(128 + radius * x), static_cast<std::uint8_t>(128 + radius * y),
                                           static_cast<std::uint8_t>(r * 255 / rows)},
                                          NearestMD2Normal(x, y, 0.0f)});
            }
        }
        model.frames.push_back(std::move(frame));
    }
    return model;
}

const std::string& LargeModelPath() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "lumivox-bench-large.md2").string();
        WriteFileBytes(file, WriteMD2(MakeLargeModel()));
        return file;
    }();
    return path;
}

void LoadModel(benchmark::State& state, const std::string& path) {
    std::int64_t vertices = 0;
    for (auto _ : state) {
        MD2Model model;
        std::strcpy(model.md2Path, path.c_str());
        if (FAILED(model.ReadFile())) {
            state.SkipWithError("the model did not load");
            return;
        }
        vertices = static_cast<std::int64_t>(model.FrameCount()) * model.triangleCount * 3;
        benchmark::DoNotOptimize(model.frames.data());
    }
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["per_vertex"] =
        benchmark::Counter(static_cast<double>(vertices), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(state.iterations() * vertices * static_cast<std::int64_t>(sizeof(ModelVertex)));
}

void BM_LoadBundledModel(benchmark::State& state) { LoadModel(state, LUMIVOX_SOURCE_DIR "/Data/ex1.md2"); }
BENCHMARK(BM_LoadBundledModel)->Unit(benchmark::kMicrosecond);

void BM_LoadLargeModel(benchmark::State& state) { LoadModel(state, LargeModelPath()); }
BENCHMARK(BM_LoadLargeModel)->Unit(benchmark::kMillisecond);

// The floor: the same bytes, frame by frame, written into fresh memory and given back.
void BM_WriteSameBytesIntoFreshMemory(benchmark::State& state) {
    const std::size_t frameBytes = std::size_t{kLargeTriangles} * 3 * sizeof(ModelVertex);
    const std::int64_t vertices = std::int64_t{kLargeFrames} * kLargeTriangles * 3;
    for (auto _ : state) {
        std::vector<std::unique_ptr<ModelVertex[]>> frames(kLargeFrames);
        for (int f = 0; f < kLargeFrames; ++f) {
            frames[f] = std::make_unique_for_overwrite<ModelVertex[]>(std::size_t{kLargeTriangles} * 3);
            std::memset(frames[f].get(), f & 0xFF, frameBytes);
            benchmark::DoNotOptimize(frames[f].get());
        }
        benchmark::ClobberMemory();
    }
    state.counters["per_vertex"] =
        benchmark::Counter(static_cast<double>(vertices), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(state.iterations() * vertices * static_cast<std::int64_t>(sizeof(ModelVertex)));
}
BENCHMARK(BM_WriteSameBytesIntoFreshMemory)->Unit(benchmark::kMillisecond);

} // namespace
