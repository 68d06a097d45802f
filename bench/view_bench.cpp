// Whole pictures, headless, as the program composes them: the draw steps alone (shadow pass, grid,
// model, light marker, shadow quad and preview) and the full pass with the overlay text, on the
// bundled model and on a generated model of real size (2500 triangles).

#include <benchmark/benchmark.h>
#include <cstring>
#include <string>

#include "BenchModels.h"
#include "app/LumivoxView.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

namespace {

const std::string kDataFolder = LUMIVOX_SOURCE_DIR "/Data/";

std::string ModelPath(int which) {
    static const std::string large = WriteBenchModel("view-2500", 2500, 20);
    return which == 0 ? kDataFolder + "ex1.md2" : large;
}

// range(0): model (0 bundled, 1 generated); range(1): width; range(2): height; range(3): overlay;
// range(4): smooth motion (pictures 16 ms apart fall between key frames).
void BM_Picture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    theRenderSettings->showText = static_cast<int>(state.range(3));
    theRenderSettings->interpolate = static_cast<int>(state.range(4));
    CLumivoxView view;
    view.saveSettingsOnDestroy = false;
    view.OnInitialUpdate(width, height);
    ModelFile& file = theScene->modelFile;
    file.speed = 30;
    std::strcpy(file.md2Path, ModelPath(static_cast<int>(state.range(0))).c_str());
    std::strcpy(file.texturePath, (kDataFolder + "ex1.jpg").c_str());
    std::strcpy(file.cartoonPath, (kDataFolder + "catoon.jpg").c_str());
    view.OnSize(0, width, height);
    if (!theScene->model || theScene->model->frames.empty()) {
        state.SkipWithError("the model did not load");
        return;
    }
    float time = 0.0f;
    for (auto _ : state) {
        view.Update();
        view.Render(time);
        time += 16.0f;
    }
    state.counters["pictures_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = theScene->model->triangleCount;
    theRenderSettings->interpolate = 0;
}

BENCHMARK(BM_Picture)
    ->ArgNames({"model", "w", "h", "overlay", "smooth"})
    ->Args({0, 720, 600, 0, 0})
    ->Args({1, 720, 600, 0, 0})
    ->Args({0, 720, 600, 0, 1})
    ->Args({1, 720, 600, 0, 1})
    ->Args({0, 720, 600, 1, 0})
    ->Args({1, 720, 600, 1, 0})
    ->Args({0, 1920, 1080, 1, 0})
    ->Args({1, 1920, 1080, 1, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
