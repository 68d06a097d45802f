#include "ModelSource.h"

#include <filesystem>
#include <system_error>

#include "app/SettingsFile.h"
#include "app/UserDataFolder.h"

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

// An image beside the model with the model's own name.
std::string SkinBesideModel(const std::string& model) {
    for (const char* extension : {".pcx", ".png", ".jpg", ".jpeg", ".tga", ".bmp"}) {
        const fs::path candidate = fs::path(model).replace_extension(extension);
        if (IsFile(candidate))
            return candidate.string();
    }
    return {};
}

std::string BundledRamp() {
    for (const std::string& folder : BundledSampleFolders()) {
        const fs::path ramp = fs::path(folder) / "catoon.jpg";
        if (IsFile(ramp))
            return ramp.string();
    }
    return {};
}

} // namespace

bool ModelView::Open(const ModelSource& source, int width, int height, std::string& error) {
    view_.OnInitialUpdate(width, height);
    if (!view_.device) {
        error = "the device could not be created";
        return false;
    }
    ModelFile& record = theScene->modelFile;
    record.speed = DEFAULT_SPEED;
    const std::string skin = source.skin.empty() ? SkinBesideModel(source.model) : source.skin;
    const std::string ramp = source.ramp.empty() ? BundledRamp() : source.ramp;
    if (!StoreModelPath(record.md2Path, source.model.c_str()) ||
        !StoreModelPath(record.texturePath, skin.c_str()) ||
        !StoreModelPath(record.cartoonPath, ramp.c_str())) {
        error = "a path is longer than " + std::to_string(MODEL_PATH_SIZE - 1) + " characters";
        return false;
    }
    modelPath_ = source.model;
    return Resize(width, height, error);
}

bool ModelView::Resize(int width, int height, std::string& error) {
    view_.OnSize(0, width, height);
    return Loaded(modelPath_, error);
}

bool ModelView::Loaded(const std::string& model, std::string& error) const {
    if (theScene->model && theScene->model->FrameCount() > 0)
        return true;
    error = "cannot read a model with frames from " + model;
    return false;
}
