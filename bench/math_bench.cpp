// Normalise and multiply of every variant set this processor runs, and the dispatched calls.
// The loader normalises every vertex normal of every frame, so normalise is measured over a
// batch the size of a model's normals.

#include "gfxutil/math/MathDispatch.h"
#include "platform/os/ProcessorFeatures.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kBatch = 1024;

std::vector<D3DXVECTOR3> RandomVectors() {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    std::vector<D3DXVECTOR3> vectors(kBatch);
    for (D3DXVECTOR3& v : vectors) {
        v = D3DXVECTOR3(value(random), value(random), value(random));
    }
    return vectors;
}

void BenchNormalize(benchmark::State& state, NormalizeFunction normalize) {
    const std::vector<D3DXVECTOR3> in = RandomVectors();
    std::vector<D3DXVECTOR3> out(kBatch);
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            normalize(&out[i], &in[i]);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

// A chain of products, each result feeding the next, as the frame's transforms do.
void BenchMultiply(benchmark::State& state, MultiplyFunction multiply) {
    D3DXMATRIX step;
    PortableMathFunctions().rotationY(&step, 0.01f);
    D3DXMATRIX accumulated;
    D3DXMatrixIdentity(&accumulated);
    for (auto _ : state) {
        multiply(&accumulated, &accumulated, &step);
        benchmark::DoNotOptimize(accumulated);
    }
    state.SetItemsProcessed(state.iterations());
}

struct NamedSet {
    const char* name;
    const MathFunctionSet* set;
    bool runnable;
};

bool RegisterAll() {
    const ProcessorFeatures& cpu = GetProcessorFeatures();
    const NamedSet sets[] = {
        {"Portable", &PortableMathFunctions(), true},
        {"X87Tuned", &X87TunedMathFunctions(), true},
        {"SSE", SseMathFunctions(), cpu.sse},
        {"SSE2", Sse2MathFunctions(), cpu.sse2},
        {"3DNow", ThreeDNowMathFunctions(), cpu.mmx && cpu.amd3DNow},
    };
    for (const NamedSet& named : sets) {
        if (named.set == nullptr || !named.runnable) {
            continue;
        }
        benchmark::RegisterBenchmark((std::string("Normalize/") + named.name).c_str(), BenchNormalize,
                                     named.set->normalize);
        benchmark::RegisterBenchmark((std::string("Multiply/") + named.name).c_str(), BenchMultiply,
                                     named.set->multiply);
    }
    benchmark::RegisterBenchmark("Normalize/Dispatched", BenchNormalize, D3DXVec3Normalize);
    benchmark::RegisterBenchmark("Multiply/Dispatched", BenchMultiply, D3DXMatrixMultiply);
    return true;
}

const bool registered = RegisterAll();

} // namespace
