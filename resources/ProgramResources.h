#pragma once
// Every resource table of the program, in the form the framework takes them (InstallResources).

#include "platform/ui/ResourceTables.h"
#include "resources/DialogTemplates.h"
#include "resources/MainFrameResources.h"
#include "resources/StringTable.h"
#include "resources/ToolbarBitmap.h"

// The solid box stands for the program in its window and about box.
constexpr int APPLICATION_ICON_PICTURE = 3;

inline const ResourceTables& ProgramResources() {
    static const FrameResources frames[] = {{IDR_MAINFRAME, kMainMenu, kAccelerators, kToolbarButtons}};
    static const ResourceTables tables{
        kStringTable,
        dialog_templates::kTemplates,
        frames,
        {TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT, TOOLBAR_IMAGE_COUNT, &kToolbarImages[0][0], kSixteenColours,
         APPLICATION_ICON_PICTURE},
    };
    return tables;
}
