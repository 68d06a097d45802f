#pragma once
// Gives a test its own fresh RenderSettings (and Scene) behind the global pointers, and puts the
// process-wide ones back afterwards.

#include "app/RenderSettings.h"
#include "scene/Scene.h"

class SettingsScope {
public:
    SettingsScope() : savedSettings_(theRenderSettings), savedScene_(theScene) {
        theRenderSettings = &settings;
        theScene = &scene;
    }
    ~SettingsScope() {
        theRenderSettings = savedSettings_;
        theScene = savedScene_;
    }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

    RenderSettings settings;
    Scene scene;

private:
    RenderSettings* savedSettings_;
    Scene* savedScene_;
};
