#pragma once
// Gives a test its own fresh RenderSettings and Scene behind the global pointers, and puts the
// process-wide ones back afterwards.

#include "gfxutil/mesh/D3DX9Mesh.h"
#include "scene/Scene.h"
#include "support/RenderSettingsScope.h"

class SettingsScope : public RenderSettingsScope {
public:
    SettingsScope() : savedScene_(theScene) { theScene = &scene; }
    ~SettingsScope() {
        // The program's scene lives for the whole process; a test's scene gives its objects back.
        scene.ReleaseDeviceObjects();
        if (scene.lightMarker)
            scene.lightMarker->Release();
        scene.model.reset();
        theScene = savedScene_;
    }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

    Scene scene;

private:
    Scene* savedScene_;
};
