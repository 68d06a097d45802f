#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Json.h"
#include "MessageCapture.h"
#include "ModelOptions.h"
#include "model/MD2Model.h"
#include "model/SkinSearch.h"
#include "platform/os/FileSource.h"

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

std::string SkinNamesJson(const std::string& path) {
    FileBytes bytes;
    std::string problem;
    std::string json = "[";
    if (ReadFileBytes(path, bytes, problem) == FileStatus::Read) {
        for (const std::string& name : MD2SkinNames(bytes.data(), bytes.size()))
            json += (json.size() > 1 ? ", " : "") + JsonString(name);
    }
    return json + "]";
}

// The model's path: given alone or as --model (--skin and --ramp do not apply here).
bool ParseModelPath(int argc, char** argv, std::string& path) {
    ModelChoice choice;
    for (int i = 0; i < argc; ++i) {
        const OptionResult option = ParseModelOption(argc, argv, i, choice);
        if (option == OptionResult::Bad || (option == OptionResult::NotMine && !path.empty()))
            return false;
        if (option == OptionResult::NotMine)
            path = argv[i];
    }
    if (!choice.skin.empty() || !choice.ramp.empty() || path.empty() == choice.model.empty())
        return false;
    if (path.empty())
        path = choice.model;
    return true;
}

} // namespace

int RunInfo(int argc, char** argv) {
    std::string path;
    if (!ParseModelPath(argc, argv, path)) {
        std::puts(JsonError("usage: lumivox-tool info FILE.md2 | info --model FILE.md2").c_str());
        return 1;
    }
    if (path.size() >= MD2_PATH_SIZE) {
        std::puts(JsonError("the path is longer than 255 characters").c_str());
        return 1;
    }

    MD2Model model;
    HRESULT result = E_FAIL;
    std::string lastMessage;
    {
        MessageCapture messages;
        std::strcpy(model.md2Path, path.c_str());
        result = model.ReadFile();
        lastMessage = messages.lastMessage;
    }
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
        .AddRaw("frameNames", FrameNamesJson(model))
        .AddRaw("skins", SkinNamesJson(path))
        .Add("skin", FindModelSkin(path));
    std::puts(info.Text().c_str());
    return 0;
}
