#include "ModelOptions.h"

OptionResult ParseModelOption(int argc, char** argv, int& i, ModelChoice& choice) {
    const std::string name = argv[i];
    std::string* field = name == "--model"  ? &choice.model
                         : name == "--skin" ? &choice.skin
                         : name == "--ramp" ? &choice.ramp
                                            : nullptr;
    if (field == nullptr)
        return OptionResult::NotMine;
    if (i + 1 >= argc || !field->empty() || argv[i + 1][0] == '\0')
        return OptionResult::Bad;
    *field = argv[++i];
    return OptionResult::Taken;
}

std::string CheckModelOptions(const ModelChoice& choice) {
    if (choice.model.empty() && (!choice.skin.empty() || !choice.ramp.empty()))
        return "--skin and --ramp need --model";
    return {};
}
