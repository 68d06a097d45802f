// lumivox-tool render: the view's pictures without a window, exactly as the program composes
// them (initial update, the first resize, then idle passes), the last one written as PNG.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BackBuffer.h"
#include "CommandOptions.h"
#include "Commands.h"
#include "Json.h"
#include "MessageCapture.h"
#include "ModelOptions.h"
#include "PngWriter.h"
#include "SettingFields.h"
#include "app/LumivoxView.h"
#include "scene/Scene.h"

namespace {

struct RenderOptions {
    int width = 720;
    int height = 600;
    int frames = 1;
    double timeMs = 0.0;
    double stepMs = 33.0;
    std::string out = "shot.png";
    bool saveSettings = false;
    std::vector<std::pair<std::string, std::string>> settings;
    ModelChoice model;
};

const std::string kUsage = std::string("usage: lumivox-tool render ") + kModelOptionsUsage +
                           " [--size WxH] [--frames N] [--time-ms T] [--step-ms S] "
                           "[--set FIELD=VALUE]... [--out FILE.png] [--save-settings]";

bool ParseOption(const std::string& name, const std::string& value, RenderOptions& options) {
    double number = 0;
    if (name == "--size")
        return ParseSize(value, options.width, options.height);
    if (name == "--out") {
        options.out = value;
        return !value.empty();
    }
    if (name == "--set")
        return ParseAssignment(value, options.settings.emplace_back());
    if (!ParseNumber(value, number))
        return false;
    if (name == "--frames")
        return ParseCount(value, 1, 100000, options.frames);
    if (name == "--time-ms")
        options.timeMs = number;
    else if (name == "--step-ms")
        options.stepMs = number;
    else
        return false;
    return true;
}

bool ParseOptions(int argc, char** argv, RenderOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string name = argv[i];
        const OptionResult modelOption = ParseModelOption(argc, argv, i, options.model);
        if (modelOption == OptionResult::Bad)
            return false;
        if (modelOption == OptionResult::Taken)
            continue;
        if (name == "--save-settings") {
            options.saveSettings = true;
        } else if (i + 1 >= argc || !ParseOption(name, argv[++i], options)) {
            return false;
        }
    }
    return CheckModelOptions(options.model).empty();
}

// A model named on the command line is drawn as the program would draw it from a fresh start:
// the settings file plays no part.
bool UseNamedModel(const CLumivoxView& view, const ModelChoice& choice) {
    ModelFile& record = theScene->modelFile;
    record.speed = DEFAULT_SPEED;
    return StoreModelPath(record.cartoonPath, (view.DataFolder() + "catoon.jpg").c_str()) &&
           ApplyModelChoice(choice, record);
}

// Reads the back buffer and writes it as PNG.
bool WriteBackBuffer(IDirect3DDevice9* device, const std::string& path, std::string& error) {
    Picture picture;
    return ReadBackBuffer(device, picture, error) &&
           WriteArgbPng(path, picture.bgra.data(), picture.width, picture.height, picture.width * 4, true,
                        error);
}

} // namespace

int RunRender(int argc, char** argv) {
    RenderOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::puts(JsonError(kUsage).c_str());
        return 1;
    }
    std::string error;
    for (const auto& [name, value] : options.settings) {
        if (!SetRenderSettingsField(name, value, error)) {
            std::puts(JsonError(error).c_str());
            return 1;
        }
    }

    CLumivoxView view;
    view.saveSettingsOnDestroy = options.saveSettings;
    view.OnInitialUpdate(options.width, options.height);
    if (!view.device) {
        std::puts(JsonError("the device could not be created").c_str());
        return 1;
    }
    if (!options.model.model.empty() && !UseNamedModel(view, options.model)) {
        std::puts(JsonError("a path is longer than 255 characters").c_str());
        return 1;
    }
    MessageCapture messages;
    view.OnSize(0, options.width, options.height);
    // A model named here that cannot be read is this command's failure (a failed load leaves the
    // model's path empty).
    const MD2Model* model = theScene->model.get();
    if (!options.model.model.empty() && (model == nullptr || model->md2Path[0] == '\0')) {
        std::puts(JsonError(messages.lastMessage.empty() ? "not an MD2 file (wrong magic or version)"
                                                         : messages.lastMessage)
                      .c_str());
        return 1;
    }
    for (int pass = 0; pass < options.frames; ++pass) {
        view.Update();
        view.Render(static_cast<float>(options.timeMs + pass * options.stepMs));
    }

    if (!WriteBackBuffer(view.device, options.out, error)) {
        std::puts(JsonError(error).c_str());
        return 1;
    }
    std::puts(JsonObject()
                  .Add("out", options.out)
                  .Add("width", std::int64_t{options.width})
                  .Add("height", std::int64_t{options.height})
                  .Text()
                  .c_str());
    return 0;
}
