#pragma once
// What the next model load uses: the animation speed and the three file paths.

#include <cstdint>

constexpr int MODEL_PATH_SIZE = 256;

struct ModelFile {
    std::int32_t speed;
    char md2Path[MODEL_PATH_SIZE];
    char texturePath[MODEL_PATH_SIZE];
    char cartoonPath[MODEL_PATH_SIZE];
};
static_assert(sizeof(ModelFile) == 772);

// True when `path` fits a path field (255 characters and the NUL). A longer path is refused with a
// message box: cutting it would name another file.
bool ModelPathFits(const char* path);

// Copies `path` into one of the record's path fields when it fits; otherwise the field keeps its
// value (and the user is told, as above).
bool StoreModelPath(char (&field)[MODEL_PATH_SIZE], const char* path);
