#pragma once
// Gives a test its own fresh RenderSettings (and Scene) behind the global pointers, and puts the
// process-wide ones back afterwards.

#include "app/RenderSettings.h"
#include "gfxutil/D3DX9Mesh.h"
#include "scene/Scene.h"

class SettingsScope {
public:
    SettingsScope() : savedSettings_(theRenderSettings), savedScene_(theScene) {
        theRenderSettings = &settings;
        theScene = &scene;
    }
    ~SettingsScope() {
        // The program's scene lives for the whole process; a test's scene gives its objects back.
        scene.ReleaseDeviceObjects();
        if (scene.lightMarker)
            scene.lightMarker->Release();
        scene.model.reset();
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
