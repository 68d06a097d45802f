#pragma once
// A model named outside the load dialog (on the command line, by dropping a file, or to a tool):
// the model file, and the skin and the cartoon ramp when they are named too.

#include <string>

#include "state/ModelFile.h"

struct ModelChoice {
    std::string model;
    std::string skin; // empty: found from the model (see model/SkinSearch.h)
    std::string ramp; // empty: the record's ramp stays
};

// Puts the choice into `record`, paths made absolute against the working directory. A model
// whose skin is not named and not found gets an empty skin path, so loading it reports the
// missing skin. False, with the record unchanged and the usual message shown, when a path is
// longer than a record field holds.
bool ApplyModelChoice(const ModelChoice& choice, ModelFile& record);

// `path` made absolute against the working directory (not tidied further, so archive paths stay).
std::string AbsolutePath(const std::string& path);
