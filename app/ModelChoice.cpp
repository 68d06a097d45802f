#include "app/ModelChoice.h"

#include <filesystem>

#include "model/SkinSearch.h"

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

bool ApplyModelChoice(const ModelChoice& choice, ModelFile& record) {
    ModelFile chosen = record;
    const std::string model = AbsolutePath(choice.model);
    const std::string skin = choice.skin.empty() ? FindModelSkin(model) : AbsolutePath(choice.skin);
    if (!StoreModelPath(chosen.md2Path, model.c_str()) || !StoreModelPath(chosen.texturePath, skin.c_str()))
        return false;
    if (!choice.ramp.empty() && !StoreModelPath(chosen.cartoonPath, AbsolutePath(choice.ramp).c_str()))
        return false;
    record = chosen;
    return true;
}
