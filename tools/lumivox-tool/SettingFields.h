#pragma once
// Named access to the render settings' fields, for "--set FIELD=VALUE".

#include <string>

// Sets the field named `name` (as in the code: "wireframe", "modelAngle", "activeCamera", ...)
// of theRenderSettings from `value`. False, with the reason in `error`, when the name is unknown
// or the value is not a number of the field's kind.
bool SetRenderSettingsField(const std::string& name, const std::string& value, std::string& error);
