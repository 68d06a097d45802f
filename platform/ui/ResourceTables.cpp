#include "platform/ui/ResourceTables.h"

namespace {

const ResourceTables kNoResources{};
const ResourceTables* installed = &kNoResources;

template <typename T> const T* FindById(std::span<const T> entries, UINT id) {
    for (const T& entry : entries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

void InstallResources(const ResourceTables& tables) { installed = &tables; }

const ResourceTables& InstalledResources() { return *installed; }

const char* FindString(UINT id) {
    const StringResource* entry = FindById(installed->strings, id);
    return entry ? entry->text : nullptr;
}

const DialogTemplate* FindDialogTemplate(UINT id) { return FindById(installed->dialogs, id); }

const FrameResources* FindFrameResources(UINT id) { return FindById(installed->frames, id); }
