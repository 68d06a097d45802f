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
#include "BenchModels.h"
#include "model/MD2Writer.h"

namespace {

constexpr int kLargeFrames = 1000;
constexpr int kLargeTriangles = 2500;

const std::string& LargeModelPath() {
    static const std::string path = WriteBenchModel("large", kLargeTriangles, kLargeFrames);
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
