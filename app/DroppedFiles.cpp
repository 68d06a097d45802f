#include "app/DroppedFiles.h"

#include <cstring>
#include <memory>

#include "gfxutil/image/ImageDecoder.h"
#include "model/MD2Model.h"
#include "platform/os/FileSource.h"
#include "platform/os/MessageBox.h"

namespace {

enum class DroppedKind { Model, Image, Unusable };

DroppedKind KindOf(const std::string& path) {
    FileBytes bytes;
    std::string problem;
    if (ReadFileBytes(path, bytes, problem) != FileStatus::Read || bytes.size() < 8)
        return DroppedKind::Unusable;
    // The loader refuses another magic or version without a word, so they are sorted out here.
    if (std::memcmp(bytes.data(), "IDP2", 4) == 0)
        return bytes.data()[4] == MD2_VERSION && std::memcmp(bytes.data() + 5, "\0\0\0", 3) == 0
                   ? DroppedKind::Model
                   : DroppedKind::Unusable;
    std::unique_ptr<DecodedImage> image;
    if (SUCCEEDED(DecodeImage(bytes.data(), bytes.size(), nullptr, true, &image)))
        return DroppedKind::Image;
    return DroppedKind::Unusable;
}

bool EndsWithMd2(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != 4)
        return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == "md2";
}

// The model reads as the loader would read it; a damaged file gets the loader's own message.
bool ModelReads(const std::string& path) {
    if (path.size() >= MD2_PATH_SIZE)
        return false;
    MD2Model scratch;
    std::strcpy(scratch.md2Path, path.c_str());
    return SUCCEEDED(scratch.ReadFile());
}

void ShowUnusable(const std::string& path, bool shiftHeld) {
    if (EndsWithMd2(path))
        MessageBoxA(nullptr, "Could not find Load_MD2_File", "Loading_error", MB_OK);
    else if (shiftHeld)
        MessageBoxA(nullptr, "Could not find CatoonTexture", "CTexture loading error", MB_OK);
    else
        MessageBoxA(nullptr, "Could not find Texture", "Texture loading error", MB_OK);
}

} // namespace

std::optional<ModelChoice> ChoiceForDroppedFiles(const std::vector<std::string>& paths, bool shiftHeld,
                                                 const ModelFile& record) {
    std::string model;
    std::string image;
    for (const std::string& path : paths) {
        const DroppedKind kind = KindOf(path);
        if (kind == DroppedKind::Model && model.empty()) {
            if (ModelReads(path))
                model = path;
        } else if (kind == DroppedKind::Image && image.empty()) {
            image = path;
        } else if (kind == DroppedKind::Unusable) {
            ShowUnusable(path, shiftHeld);
        }
    }
    if (model.empty() && image.empty())
        return std::nullopt;

    ModelChoice choice;
    choice.model = model.empty() ? std::string(record.md2Path) : model;
    // A new model finds its own skin unless an image comes with it.
    if (!shiftHeld)
        choice.skin = image.empty() && model.empty() ? std::string(record.texturePath) : image;
    else if (model.empty())
        choice.skin = record.texturePath;
    if (shiftHeld)
        choice.ramp = image;
    return choice;
}
