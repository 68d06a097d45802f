#pragma once
// Gives a test its own fresh RenderSettings behind the global pointer, and puts the process-wide
// one back afterwards.

#include "state/RenderSettings.h"

class RenderSettingsScope {
public:
    RenderSettingsScope() : savedSettings_(theRenderSettings) { theRenderSettings = &settings; }
    ~RenderSettingsScope() { theRenderSettings = savedSettings_; }
    RenderSettingsScope(const RenderSettingsScope&) = delete;
    RenderSettingsScope& operator=(const RenderSettingsScope&) = delete;

    RenderSettings settings;

private:
    RenderSettings* savedSettings_;
};
