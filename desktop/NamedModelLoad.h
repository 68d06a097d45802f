#pragma once
// Opening a model named outside the load dialog (on the command line, or by dropping files):
// it goes into the scene's load parameters and the settings file, as a confirmed load does.

#include <QStringList>
#include <optional>

#include "app/ModelChoice.h"

class CLumivoxView;
class CMyPropertyPage3;

// The model the program's arguments name: MODEL [SKIN [RAMP]]. The toolkit's own options (those
// starting with '-') are passed over. Nothing when no model is named.
std::optional<ModelChoice> ModelFromArguments(const QStringList& arguments);

// Stores the choice in the load parameters and writes the settings file. False, with nothing
// changed, when a path does not fit.
bool StoreNamedModel(CLumivoxView& view, const ModelChoice& choice);

// StoreNamedModel, then the model is loaded again with its textures and `modelPage` (when there
// is one) refreshed.
void LoadNamedModel(CLumivoxView& view, CMyPropertyPage3* modelPage, const ModelChoice& choice);
