#pragma once
// What the framework reads from a program's resources: its string table, dialog templates, the
// menu, accelerators and toolbar of each frame resource, and the toolbar's picture strip. The
// framework names no resource of its own program; the program installs its tables once, before it
// makes any window.

#include <cstdint>
#include <span>

#include "platform/os/WinTypes.h"

struct StringResource {
    UINT id;
    const char* text;
};

enum class ControlKind {
    PushButton,
    DefPushButton,
    OwnerDrawButton,
    CheckBox,
    Static,
    GroupBox,
    Frame,
    Icon,
    Edit,
    Slider,
    ListView,
};

struct DialogItem {
    int id;
    ControlKind kind;
    const char* text;
    short x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    UINT id;
    const char* caption;
    DWORD style;
    const char* fontFace;
    int pointSize;
    short cx, cy;
    const DialogItem* items;
    int itemCount;
};

struct MenuEntry {
    const char* text; // null: a separator
    UINT command;
};

struct MenuDefinition {
    const char* title;
    const MenuEntry* entries;
    int entryCount;
};

enum AcceleratorModifier : unsigned { ACCEL_NONE = 0, ACCEL_SHIFT = 1, ACCEL_CONTROL = 2, ACCEL_ALT = 4 };

struct Accelerator {
    UINT virtualKey;
    unsigned modifiers;
    UINT command;
};

// The menu, accelerators and toolbar buttons of one frame resource. Buttons are in order;
// ID_SEPARATOR marks a separator, and the n-th button shows the n-th picture of the strip.
struct FrameResources {
    UINT id;
    std::span<const MenuDefinition> menu;
    std::span<const Accelerator> accelerators;
    std::span<const UINT> toolbarButtons;
};

struct PaletteEntry {
    char letter;
    std::uint32_t rgb;
};

// Pictures of width x height pixels, one palette letter per pixel, row by row: `rows` holds
// count x height rows. A letter missing from the palette is transparent.
struct ToolbarStrip {
    int width = 0;
    int height = 0;
    int count = 0;
    const char* const* rows = nullptr;
    std::span<const PaletteEntry> palette;
    int iconPicture = 0; // the picture that stands for the program
};

struct ResourceTables {
    std::span<const StringResource> strings;
    std::span<const DialogTemplate> dialogs;
    std::span<const FrameResources> frames;
    ToolbarStrip toolbar;
};

// `tables` must outlive every window; installing again replaces them.
void InstallResources(const ResourceTables& tables);
const ResourceTables& InstalledResources();

// The entries with the given id, or null.
const char* FindString(UINT id);
const DialogTemplate* FindDialogTemplate(UINT id);
const FrameResources* FindFrameResources(UINT id);
