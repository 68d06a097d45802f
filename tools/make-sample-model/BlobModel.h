#pragma once
// Synthetic test models of any size: a closed, wobbling blob with exactly the requested number
// of triangles, its frames split into blocks named blockA01.., blockB01.., and so on.

#include <string>
#include <vector>

#include "FramePacking.h"

struct BlobOptions {
    int triangles = 500;
    int frames = 10;
    int blocks = 1;
};

constexpr int BLOB_MIN_TRIANGLES = 6;
constexpr int BLOB_MAX_TRIANGLES = 60000;

// False with a message when the options are out of range.
bool BuildBlobFrames(const BlobOptions& options, std::vector<ModelFrame>& frames, std::string& error);

// Name of block `block` (0-based): A..Z, then AA, AB, ...
std::string BlobBlockName(int block);
