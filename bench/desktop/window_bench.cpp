// Pictures presented into the view's Qt window, as the program shows them: each pass composes a
// picture, the device writes it into the window's picture, and the window paints it before the
// next pass. Compare with view_bench's headless pictures of the same size. Runs on the platform Qt
// picks (set QT_QPA_PLATFORM=offscreen without a display).

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "state/RenderSettings.h"
#include "desktop/LumivoxViewWindow.h"
#include "scene/Scene.h"

namespace {

const std::string kDataFolder = LUMIVOX_SOURCE_DIR "/Data/";

// range(0): width; range(1): height; range(2): threads (0: one per processor).
void BM_WindowPicture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    if (state.range(2) > 0)
        setenv("LUMIVOX_THREADS", std::to_string(state.range(2)).c_str(), 1);
    else
        unsetenv("LUMIVOX_THREADS");
    theRenderSettings->showText = 1;
    ModelFile& file = theScene->modelFile;
    file.speed = 30;
    std::strcpy(file.md2Path, (kDataFolder + "ex1.md2").c_str());
    std::strcpy(file.texturePath, (kDataFolder + "ex1.jpg").c_str());
    std::strcpy(file.cartoonPath, (kDataFolder + "catoon.jpg").c_str());
    // The view's initial update reads Data/MD2DATA.ini below the working folder; the source tree's
    // Data/ keeps the paths above, wherever the benchmark is started from.
    if (chdir(LUMIVOX_SOURCE_DIR) != 0) {
        state.SkipWithError("cannot enter the source folder");
        return;
    }
    CLumivoxViewWindow window;
    window.View().saveSettingsOnDestroy = false;
    window.resize(width, height);
    window.OnInitialUpdate();
    window.show();
    QApplication::processEvents();
    if (!theScene->model || theScene->model->frames.empty()) {
        state.SkipWithError("the model did not load");
        return;
    }
    float time = 0.0f;
    for (auto _ : state) {
        window.View().Update();
        window.View().Render(time);
        QApplication::processEvents(); // the paint the picture asked for
        time += 16.0f;
    }
    state.counters["pictures_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["presented"] = static_cast<double>(window.PresentedPictures());
}

BENCHMARK(BM_WindowPicture)
    ->ArgNames({"w", "h", "threads"})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
