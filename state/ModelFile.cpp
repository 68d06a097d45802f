#include "state/ModelFile.h"

#include <cstring>
#include <string>

#include "platform/os/MessageBox.h"

bool StoreModelPath(char (&field)[MODEL_PATH_SIZE], const char* path) {
    const std::size_t length = std::strlen(path);
    if (length < MODEL_PATH_SIZE) {
        std::memcpy(field, path, length + 1);
        return true;
    }
    const std::string text = "This path is longer than " + std::to_string(MODEL_PATH_SIZE - 1) +
                             " characters and was not used:\n" + path;
    MessageBoxA(nullptr, text.c_str(), "Path_error", MB_OK);
    return false;
}
