// lumivox-tool thumbnail: the model alone, filling a picture whose long side is SIZE, on a
// transparent background; the skin found as the window finds it. Desktops run it through the
// thumbnailer entry.

#include <cstdio>
#include <string>
#include <vector>

#include "BackBuffer.h"
#include "CommandOptions.h"
#include "Commands.h"
#include "Json.h"
#include "ModelFraming.h"
#include "ModelView.h"
#include "PngWriter.h"

namespace {

const char* kUsage = "usage: lumivox-tool thumbnail -s SIZE MODEL OUT.png";
constexpr int kLargestThumbnail = 4096;

struct ThumbnailOptions {
    int size = 0;
    std::string model;
    std::string out;
};

bool ParseOptions(int argc, char** argv, ThumbnailOptions& options) {
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-s") {
            if (i + 1 >= argc || !ParseCount(argv[++i], 1, kLargestThumbnail, options.size))
                return false;
        } else {
            files.push_back(argument);
        }
    }
    if (options.size == 0 || files.size() != 2)
        return false;
    options.model = files[0];
    options.out = files[1];
    return !options.model.empty() && !options.out.empty();
}

bool DrawModelOn(ModelView& view, const Framing& framing, D3DCOLOR background, Picture& picture,
                 std::string& error) {
    IDirect3DDevice9* device = view.View().device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->BeginScene();
    device->SetTransform(D3DTS_VIEW, &framing.view);
    device->SetTransform(D3DTS_PROJECTION, &framing.projection);
    view.Model().currentFrame = 0;
    view.Model().Draw();
    device->EndScene();
    return ReadBackBuffer(device, picture, error);
}

// The model's pixels are the same on any background (nothing is blended); a pixel that is black
// on black and white on white is background.
std::vector<std::uint8_t> SeparateFromBackground(const Picture& onBlack, const Picture& onWhite) {
    std::vector<std::uint8_t> rgba(onBlack.bgra.size());
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const std::uint8_t* dark = &onBlack.bgra[i];
        const std::uint8_t* light = &onWhite.bgra[i];
        const bool background =
            (dark[0] | dark[1] | dark[2]) == 0 && (light[0] & light[1] & light[2]) == 0xFF;
        rgba[i] = dark[2];
        rgba[i + 1] = dark[1];
        rgba[i + 2] = dark[0];
        rgba[i + 3] = background ? 0 : 0xFF;
    }
    return rgba;
}

bool MakeThumbnail(const ThumbnailOptions& options, Framing& framing, std::string& error) {
    ModelView view;
    if (!view.Open({options.model, "", ""}, options.size, options.size, error))
        return false;
    if (!FrameModel(view.Model(), 0, options.size, framing)) {
        error = "the model has no triangles to show";
        return false;
    }
    if (!view.Resize(framing.width, framing.height, error))
        return false;
    Picture onBlack, onWhite;
    if (!DrawModelOn(view, framing, 0xFF000000, onBlack, error) ||
        !DrawModelOn(view, framing, 0xFFFFFFFF, onWhite, error))
        return false;
    const std::vector<std::uint8_t> rgba = SeparateFromBackground(onBlack, onWhite);
    return WritePng(options.out, rgba.data(), onBlack.width, onBlack.height, onBlack.width * 4, error);
}

} // namespace

int RunThumbnail(int argc, char** argv) {
    ThumbnailOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::puts(JsonError(kUsage).c_str());
        return 1;
    }
    Framing framing;
    std::string error;
    if (!MakeThumbnail(options, framing, error)) {
        std::puts(JsonError(error).c_str());
        return 1;
    }
    std::puts(JsonObject()
                  .Add("out", options.out)
                  .Add("width", std::int64_t{framing.width})
                  .Add("height", std::int64_t{framing.height})
                  .Text()
                  .c_str());
    return 0;
}
