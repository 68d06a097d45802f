// The two process-wide records, created before anything else runs, render settings first, and
// never destroyed: windows, devices and handlers may still reach them while the process ends.

#include <new>

#include "app/RenderSettings.h"
#include "scene/Scene.h"

namespace {

template <typename T> T* ConstructForever() {
    alignas(T) static unsigned char storage[sizeof(T)];
    return new (storage) T();
}

} // namespace

RenderSettings* theRenderSettings = ConstructForever<RenderSettings>();
Scene* theScene = ConstructForever<Scene>();
