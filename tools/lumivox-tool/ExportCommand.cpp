// lumivox-tool export: the model's animation as the viewer plays it (overlay off), one picture
// every 1000 / FPS milliseconds, written as numbered PNG files or as one animated WebP.

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BackBuffer.h"
#include "CommandOptions.h"
#include "Commands.h"
#include "Json.h"
#include "ModelOptions.h"
#include "ModelView.h"
#include "NumberedName.h"
#include "PngWriter.h"
#include "SettingFields.h"
#include "WebpAnimation.h"
#include "state/RenderSettings.h"

namespace {

const char* kUsage =
    "usage: lumivox-tool export --model M [--skin S] [--ramp R] [--block NAME] [--frames N] "
    "[--fps F] [--size WxH] [--set FIELD=VALUE]... --out OUT (OUT with %d: numbered PNG files; "
    "OUT.webp: animated WebP)";

struct ExportOptions {
    ModelChoice model;
    std::string block;
    int frames = 0; // 0: one pass through the block
    int fps = 10;
    int width = 720;
    int height = 600;
    std::string out;
    std::vector<std::pair<std::string, std::string>> settings;
};

bool ParseOption(const std::string& name, const std::string& value, ExportOptions& options) {
    if (name == "--block")
        options.block = value;
    else if (name == "--out")
        options.out = value;
    else if (name == "--frames")
        return ParseCount(value, 1, 10000, options.frames);
    else if (name == "--fps")
        return ParseCount(value, 1, 1000, options.fps);
    else if (name == "--size")
        return ParseSize(value, options.width, options.height);
    else if (name == "--set")
        return ParseAssignment(value, options.settings.emplace_back());
    else
        return false;
    return !value.empty();
}

bool ParseOptions(int argc, char** argv, ExportOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const OptionResult modelOption = ParseModelOption(argc, argv, i, options.model);
        if (modelOption == OptionResult::Bad)
            return false;
        if (modelOption == OptionResult::NotMine &&
            (i + 1 >= argc || !ParseOption(argv[i], argv[i + 1], options)))
            return false;
        if (modelOption == OptionResult::NotMine)
            ++i;
    }
    return !options.model.model.empty() && !options.out.empty();
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A block is named by its first frame's name, or by that name without its closing digits.
std::string BlockName(const MD2Model& model, int block) {
    const char* name =
        model.frames[static_cast<std::size_t>(model.blockStarts[static_cast<std::size_t>(block)])].name;
    return std::string(name, strnlen(name, MD2_FRAME_NAME_SIZE));
}

std::string WithoutClosingDigits(std::string name) {
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
        name.pop_back();
    return name;
}

int FindBlock(const MD2Model& model, const std::string& wanted, std::string& error) {
    std::string known;
    for (int b = 0; b < static_cast<int>(model.blockStarts.size()); ++b) {
        const std::string name = BlockName(model, b);
        if (wanted.empty() || wanted == name || wanted == WithoutClosingDigits(name))
            return b;
        known += (known.empty() ? "" : ", ") + WithoutClosingDigits(name);
    }
    error = "the model has no block called \"" + wanted + "\" (it has " + known + ")";
    return -1;
}

int BlockLength(const MD2Model& model, int block) {
    const std::size_t next = static_cast<std::size_t>(block) + 1;
    const int end = next < model.blockStarts.size() ? model.blockStarts[next] : model.FrameCount();
    return end - model.blockStarts[static_cast<std::size_t>(block)];
}

// Where the pictures go: numbered PNG files or one animated WebP.
class PictureSink {
public:
    bool Open(const ExportOptions& options, std::string& error) {
        path_ = options.out;
        if (EndsWith(path_, ".webp")) {
            animation_ = std::make_unique<WebpAnimation>(options.width, options.height);
            return true;
        }
        return names_.Parse(path_, error);
    }
    bool Add(const Picture& picture, int index, int timestampMs, std::string& error) {
        if (animation_)
            return animation_->Add(picture, timestampMs, error);
        return WriteArgbPng(names_.For(index + 1), picture.bgra.data(), picture.width, picture.height,
                            picture.width * 4, true, error);
    }
    bool Close(int endMs, std::string& error) {
        return !animation_ || animation_->Write(path_, endMs, error);
    }

private:
    std::string path_;
    NumberedName names_;
    std::unique_ptr<WebpAnimation> animation_;
};

int TimeOf(int picture, int fps) {
    return static_cast<int>(std::lround(picture * 1000.0 / fps));
}

bool Export(ExportOptions& options, std::string& error) {
    PictureSink sink;
    if (!sink.Open(options, error))
        return false;
    theRenderSettings->showText = 0; // its first line is the measured frame rate
    for (const auto& [name, value] : options.settings) {
        if (!SetRenderSettingsField(name, value, error))
            return false;
    }
    ModelView view;
    if (!view.Open(options.model, options.width, options.height, error))
        return false;
    MD2Model& model = view.Model();
    const int block = FindBlock(model, options.block, error);
    if (block < 0)
        return false;
    if (options.frames == 0)
        options.frames = BlockLength(model, block);
    model.selectedBlock = block;
    model.currentFrame = model.blockStarts[static_cast<std::size_t>(block)];
    // The first picture after a reset differs a little from those that follow it (the states the
    // shadow pass leaves behind), so one is drawn, with the model held still, before the pictures.
    model.animationMode = ANIMATION_STOPPED;
    view.View().Render(0.0f);
    model.animationMode = ANIMATION_PLAY_FORWARD;
    // As if the last step had been one picture earlier: the pictures show the animation from its
    // first frame, as the viewer shows it at this picture rate.
    theRenderSettings->lastFrameTime = -1000.0f / static_cast<float>(options.fps);

    Picture picture;
    for (int i = 0; i < options.frames; ++i) {
        view.View().Update();
        view.View().Render(static_cast<float>(i * 1000.0 / options.fps));
        if (!ReadBackBuffer(view.View().device, picture, error) ||
            !sink.Add(picture, i, TimeOf(i, options.fps), error))
            return false;
    }
    return sink.Close(TimeOf(options.frames, options.fps), error);
}

} // namespace

int RunExport(int argc, char** argv) {
    ExportOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::puts(JsonError(kUsage).c_str());
        return 1;
    }
    std::string error;
    if (!Export(options, error)) {
        std::puts(JsonError(error).c_str());
        return 1;
    }
    std::puts(JsonObject()
                  .Add("out", options.out)
                  .Add("frames", std::int64_t{options.frames})
                  .Add("fps", std::int64_t{options.fps})
                  .Add("width", std::int64_t{options.width})
                  .Add("height", std::int64_t{options.height})
                  .Text()
                  .c_str());
    return 0;
}
