#pragma once
// Numeric switches that change how the utility layer works ("DisablePSGP", "DisableD3DXPSGP",
// "DisableMMX"). They are read from environment variables of the same names.

#include "platform/os/WinTypes.h"

// Reads the switch `name`. Returns false, leaving *value alone, when it is missing or not a
// number.
bool ReadSwitch(const char* name, DWORD* value);
