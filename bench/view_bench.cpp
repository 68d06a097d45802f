// Whole pictures, headless, as the program composes them: the draw steps alone (shadow pass, grid,
// model, light marker, shadow quad and preview) and the full pass with the overlay text, on the
// bundled model and on a generated model of real size (2500 triangles), at three window sizes,
// drawn with one thread and with one per processor. Times are wall-clock: the device's worker
// threads do most of the work.

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "BenchModels.h"
#include "app/LumivoxView.h"
#include "scene/Scene.h"
#include "state/RenderSettings.h"

namespace {

const std::string kDataFolder = LUMIVOX_SOURCE_DIR "/Data/";

// Processor time of every thread of the process, in milliseconds: the work a picture takes,
// whatever the number of threads (wall-clock time depends on what else the machine runs).
double ProcessMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

std::string ModelPath(int which) {
    static const std::string large = WriteBenchModel("view-2500", 2500, 20);
    return which == 0 ? kDataFolder + "ex1.md2" : large;
}

// range(0): model (0 bundled, 1 generated); range(1): width; range(2): height; range(3): overlay;
// range(4): threads the device draws with (0: one per processor); range(5): smooth motion (pictures
// 16 ms apart fall between key frames).
void BM_Picture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    theRenderSettings->showText = static_cast<int>(state.range(3));
    if (state.range(4) > 0)
        setenv("LUMIVOX_THREADS", std::to_string(state.range(4)).c_str(), 1);
    else
        unsetenv("LUMIVOX_THREADS");
    theRenderSettings->interpolate = static_cast<int>(state.range(5));
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
    const double start = ProcessMilliseconds();
    for (auto _ : state) {
        view.Update();
        view.Render(time);
        time += 16.0f;
    }
    state.counters["work_ms_per_picture"] =
        (ProcessMilliseconds() - start) / static_cast<double>(state.iterations());
    state.counters["pictures_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = theScene->model->triangleCount;
    theRenderSettings->interpolate = 0;
}

void PictureSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"model", "w", "h", "overlay", "threads", "smooth"});
    b->Args({0, 720, 600, 0, 0, 0});
    for (const int smooth : {0, 1})
        for (const int model : {0, 1})
            b->Args({model, 720, 600, 0, 1, smooth});
    for (const int threads : {1, 0})
        for (const int model : {0, 1})
            for (const auto& size : {std::pair{720, 600}, std::pair{1920, 1080}, std::pair{3840, 2160}})
                b->Args({model, size.first, size.second, 1, threads, 0});
}

BENCHMARK(BM_Picture)->Apply(PictureSizes)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
