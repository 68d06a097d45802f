#pragma once
// The two process-wide records every part of the program reads and writes through one global
// pointer each. Both are made by static initializers before anything else runs and never
// destroyed: windows, devices and handlers may still reach them while the process ends.
// theRenderSettings is defined in state/SharedRecords.cpp; theScene, whose class holds the model
// and the scene's device objects, in scene/Scene.cpp.

#include <new>

class RenderSettings;
class Scene;

extern RenderSettings* theRenderSettings;
extern Scene* theScene;

// Constructs a T in static storage that is never given back.
template <typename T> T* ConstructForever() {
    alignas(T) static unsigned char storage[sizeof(T)];
    return new (storage) T();
}
