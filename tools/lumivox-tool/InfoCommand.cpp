#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Json.h"
#include "model/MD2Model.h"
#include "platform/os/MessageBox.h"

namespace {

std::string BlocksJson(const MD2Model& model) {
    std::string json = "[";
    for (std::size_t b = 0; b < model.blockStarts.size(); ++b) {
        int first = model.blockStarts[b];
        int last = first;
        char name[MD2_FRAME_NAME_SIZE + 1];
        model.FrameName(name, last);
        if (b > 0)
            json += ", ";
        json += JsonObject()
                    .Add("name", name)
                    .Add("first", std::int64_t{first})
                    .Add("last", std::int64_t{last})
                    .Text();
    }
    return json + "]";
}

std::string FrameNamesJson(const MD2Model& model) {
    std::string json = "[";
    for (const FrameRecord& frame : model.frames) {
        if (frame.index > 0)
            json += ", ";
        json += JsonString(std::string(frame.name, strnlen(frame.name, MD2_FRAME_NAME_SIZE)));
    }
    return json + "]";
}

} // namespace

int RunInfo(int argc, char** argv) {
    if (argc != 1) {
        std::puts(JsonError("usage: lumivox-tool info FILE.md2").c_str());
        return 1;
    }
    const std::string path = argv[0];
    if (path.size() >= MD2_PATH_SIZE) {
        std::puts(JsonError("the path is longer than 255 characters").c_str());
        return 1;
    }

    std::string lastMessage;
    const MessageBoxHandler previous =
        SetMessageBoxHandler([&](HWND, const char* text, const char* caption, UINT) {
            std::fprintf(stderr, "%s: %s\n", caption, text);
            lastMessage = text;
            return IDOK;
        });
    MD2Model model;
    std::strcpy(model.md2Path, path.c_str());
    const HRESULT result = model.ReadFile();
    SetMessageBoxHandler(previous);

    if (FAILED(result)) {
        std::puts(JsonError(lastMessage.empty() ? "not an MD2 file (wrong magic or version)" : lastMessage)
                      .c_str());
        return 1;
    }
    JsonObject info;
    info.Add("triangles", std::int64_t{model.triangleCount})
        .Add("vertices", std::int64_t{model.header.numVertices})
        .Add("frames", std::int64_t{model.FrameCount()})
        .Add("blockCount", std::int64_t{model.blockCount})
        .Add("offsetY", double{model.offsetY})
        .AddRaw("blocks", BlocksJson(model))
        .AddRaw("frameNames", FrameNamesJson(model));
    std::puts(info.Text().c_str());
    return 0;
}
