// lumivox-tool render: the view's pictures without a window, exactly as the program composes
// them (initial update, the first resize, then idle passes), the last one written as PNG.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

bool ParseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    double w = 0, h = 0;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), w) || !ParseNumber(text.substr(x + 1), h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return w == width && h == height && width >= 1 && height >= 1 && width <= 8192 && height <= 8192;
}

bool ParseOption(const std::string& name, const std::string& value, RenderOptions& options) {
    double number = 0;
    if (name == "--size")
        return ParseSize(value, options.width, options.height);
    if (name == "--out") {
        options.out = value;
        return !value.empty();
    }
    if (name == "--set") {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos)
            return false;
        options.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        return true;
    }
    if (!ParseNumber(value, number))
        return false;
    if (name == "--frames") {
        options.frames = static_cast<int>(number);
        return number >= 1 && number <= 100000 && number == options.frames;
    }
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

// Copies the back buffer into system memory and writes it as PNG.
bool WriteBackBuffer(IDirect3DDevice9* device, const std::string& path, std::string& error) {
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* copy = nullptr;
    bool written = false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        SUCCEEDED(backBuffer->GetDesc(&desc)) &&
        (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                      &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(backBuffer, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        written = WriteArgbPng(path, locked.pBits, static_cast<int>(desc.Width),
                               static_cast<int>(desc.Height), locked.Pitch, true, error);
        copy->UnlockRect();
    } else {
        error = "the picture could not be read back";
    }
    if (copy)
        copy->Release();
    if (backBuffer)
        backBuffer->Release();
    return written;
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
