#include "state/ModelFile.h"

#include <cstring>
#include <string>

#include "platform/os/MessageBox.h"

bool ModelPathFits(const char* path) {
    if (std::strlen(path) < MODEL_PATH_SIZE)
        return true;
    const std::string text = "This path is longer than " + std::to_string(MODEL_PATH_SIZE - 1) +
                             " characters and was not used:\n" + path;
    MessageBoxA(nullptr, text.c_str(), "Path_error", MB_OK);
    return false;
}

bool StoreModelPath(char (&field)[MODEL_PATH_SIZE], const char* path) {
    if (!ModelPathFits(path))
        return false;
    std::memcpy(field, path, std::strlen(path) + 1);
    return true;
}
