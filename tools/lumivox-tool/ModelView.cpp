#include "ModelView.h"

#include <filesystem>
#include <system_error>

#include "MessageCapture.h"
#include "app/SettingsFile.h"
#include "app/UserDataFolder.h"

namespace fs = std::filesystem;

namespace {

// The ramp of the bundled sample, wherever the tool is run from.
std::string BundledRamp() {
    for (const std::string& folder : BundledSampleFolders()) {
        const fs::path ramp = fs::path(folder) / "catoon.jpg";
        std::error_code ignored;
        if (fs::is_regular_file(ramp, ignored))
            return ramp.string();
    }
    return {};
}

} // namespace

bool ModelView::Open(const ModelChoice& choice, int width, int height, std::string& error) {
    view_.OnInitialUpdate(width, height);
    if (!view_.device) {
        error = "the device could not be created";
        return false;
    }
    ModelFile& record = theScene->modelFile;
    record.speed = DEFAULT_SPEED;
    if (!StoreModelPath(record.cartoonPath, BundledRamp().c_str()) || !ApplyModelChoice(choice, record)) {
        error = "a path is longer than " + std::to_string(MODEL_PATH_SIZE - 1) + " characters";
        return false;
    }
    modelPath_ = choice.model;
    return Resize(width, height, error);
}

bool ModelView::Resize(int width, int height, std::string& error) {
    MessageCapture messages;
    view_.OnSize(0, width, height);
    if (theScene->model && theScene->model->FrameCount() > 0)
        return true;
    error = "cannot show " + modelPath_ + (messages.lastMessage.empty() ? "" : ": " + messages.lastMessage);
    return false;
}
