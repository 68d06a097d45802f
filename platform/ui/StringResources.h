#pragma once
// Reading the string table as Qt text.

#include <QString>

#include "platform/os/WinTypes.h"

// The whole string, or an empty one.
QString LoadResourceString(UINT id);
// The part of a command's string before the newline (the status-bar prompt).
QString CommandPrompt(UINT id);
// The part after the newline (the tooltip), or an empty string.
QString CommandTooltip(UINT id);
// Field `index` of a document string (fields are separated by newlines).
QString DocumentStringField(UINT id, int index);
