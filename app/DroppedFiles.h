#pragma once
// Files dropped on the program's windows: an MD2 file replaces the model (its skin found from
// it), an image replaces the skin, or the cartoon ramp when Shift is held.

#include <optional>
#include <string>
#include <vector>

#include "app/ModelChoice.h"

// What the drop of `paths` asks for, given the record in use: the first MD2 file among them that
// reads is the model, the first image the skin (the ramp with `shiftHeld`); the other paths
// stay as they are. A file that cannot be used shows the message a load of it would show and
// is passed over. Nothing when no file could be used.
std::optional<ModelChoice> ChoiceForDroppedFiles(const std::vector<std::string>& paths, bool shiftHeld,
                                                 const ModelFile& record);
