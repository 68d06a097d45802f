#pragma once
// The main frame's menu, toolbar, accelerator and status-bar tables (resource 128).

#include "platform/ui/ResourceTables.h"
#include "resources/Resource.h"

namespace main_frame_resources {

inline constexpr MenuEntry kFileMenu[] = {{"맵정보(&M)", ID_MAP_INFO},
                                          {"그림 저장(&P)...", ID_SAVE_PICTURE},
                                          {nullptr, 0},
                                          {"종료(&X)", ID_APP_EXIT}};
inline constexpr MenuEntry kRunMenu[] = {{"&Converter", ID_RUN_CONVERTER}};
inline constexpr MenuEntry kViewMenu[] = {{"도구 모음(&T)", ID_VIEW_TOOLBAR},
                                          {"상태 표시줄(&S)", ID_VIEW_STATUS_BAR},
                                          {nullptr, 0},
                                          {"부드러운 움직임(&I)\tCtrl+I", ID_VIEW_SMOOTH_MOTION}};
inline constexpr MenuEntry kHelpMenu[] = {{"Quorvel 정보", ID_APP_ABOUT}};

} // namespace main_frame_resources

inline constexpr MenuDefinition kMainMenu[] = {
    {"&File", main_frame_resources::kFileMenu, 4},
    {"&Run", main_frame_resources::kRunMenu, 1},
    {"&View", main_frame_resources::kViewMenu, 4},
    {"&Help", main_frame_resources::kHelpMenu, 1},
};

inline constexpr UINT kToolbarButtons[] = {
    ID_LOAD_MODEL,     ID_OPEN_MESH,    ID_OPEN_ANIMATION, ID_SEPARATOR,     ID_FILL_SOLID,
    ID_FILL_WIREFRAME, ID_SEPARATOR,    ID_CAMERA_VIEW,    ID_CAMERA_LOOKAT, ID_CAMERA_RESET,
    ID_SEPARATOR,      ID_SHOW_NORMALS, ID_UNUSED_TOOL,    ID_LIGHTING,      ID_APP_ABOUT,
};

inline constexpr UINT kStatusIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                             ID_INDICATOR_SCRL};

constexpr UINT VK_KEY_N = 'N', VK_KEY_O = 'O', VK_KEY_S = 'S', VK_KEY_P = 'P', VK_KEY_Z = 'Z', VK_KEY_X = 'X',
               VK_KEY_C = 'C', VK_KEY_V = 'V', VK_KEY_I = 'I';

inline constexpr Accelerator kAccelerators[] = {
    {VK_KEY_N, ACCEL_CONTROL, ID_FILE_NEW},        {VK_KEY_O, ACCEL_CONTROL, ID_FILE_OPEN},
    {VK_KEY_S, ACCEL_CONTROL, ID_FILE_SAVE},       {VK_KEY_P, ACCEL_CONTROL, ID_FILE_PRINT},
    {VK_KEY_Z, ACCEL_CONTROL, ID_EDIT_UNDO},       {0x08 /*VK_BACK*/, ACCEL_ALT, ID_EDIT_UNDO},
    {VK_KEY_X, ACCEL_CONTROL, ID_EDIT_CUT},        {0x2E /*VK_DELETE*/, ACCEL_SHIFT, ID_EDIT_CUT},
    {VK_KEY_C, ACCEL_CONTROL, ID_EDIT_COPY},       {0x2D /*VK_INSERT*/, ACCEL_CONTROL, ID_EDIT_COPY},
    {VK_KEY_V, ACCEL_CONTROL, ID_EDIT_PASTE},      {0x2D /*VK_INSERT*/, ACCEL_SHIFT, ID_EDIT_PASTE},
    {0x1B /*VK_ESCAPE*/, ACCEL_NONE, ID_APP_EXIT}, {0x75 /*VK_F6*/, ACCEL_NONE, ID_NEXT_PANE},
    {0x75 /*VK_F6*/, ACCEL_SHIFT, ID_PREV_PANE},   {VK_KEY_I, ACCEL_CONTROL, ID_VIEW_SMOOTH_MOTION},
};
