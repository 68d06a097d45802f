#pragma once
// Resource and command identifiers of the program; the framework's own come with it.

#include "platform/os/WinTypes.h"
#include "platform/ui/FrameworkIds.h"

// Resources.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDS_SHEET_CAPTION = 104;
constexpr UINT IDD_PROPPAGE_COLORS = 105;
constexpr UINT IDD_PROPPAGE_MODEL = 107;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDD_LOAD_MD2 = 138;

// The program's commands.
constexpr UINT ID_RUN_CONVERTER = 32771;
constexpr UINT ID_OPEN_ANIMATION = 32772;
constexpr UINT ID_OPEN_MESH = 32773;
constexpr UINT ID_FILL_SOLID = 32774;
constexpr UINT ID_FILL_WIREFRAME = 32775;
constexpr UINT ID_UNUSED_TOOL = 32776;
constexpr UINT ID_SHOW_NORMALS = 32777;
constexpr UINT ID_LIGHTING = 32778;
constexpr UINT ID_CAMERA_VIEW = 32779;
constexpr UINT ID_CAMERA_LOOKAT = 32780;
constexpr UINT ID_MAP_INFO = 32781;
constexpr UINT ID_CAMERA_RESET = 32782;
constexpr UINT ID_LOAD_MODEL = 32783;
constexpr UINT ID_VIEW_SMOOTH_MOTION = 32784;
constexpr UINT ID_SAVE_PICTURE = 32785;

// Controls.
constexpr int IDC_BACK_RED = 1000;
constexpr int IDC_BACK_COLOR_DIALOG = 1001;
constexpr int IDC_BACK_SWATCH = 1002;
constexpr int IDC_BACK_GREEN = 1003;
constexpr int IDC_BACK_BLUE = 1004;
constexpr int IDC_TEXT_SWATCH = 1005;
constexpr int IDC_TEXT_RED = 1006;
constexpr int IDC_TEXT_GREEN = 1007;
constexpr int IDC_TEXT_BLUE = 1008;
constexpr int IDC_TEXT_COLOR_DIALOG = 1009;
constexpr int IDC_DISPLAY_TEXT = 1010;
constexpr int IDC_FONT_SLIDER = 1011;
constexpr int IDC_FONT_HEIGHT = 1012;
constexpr int IDC_MD2_FILE = 1025;
constexpr int IDC_TEXTURE_FILE = 1026;
constexpr int IDC_CARTOON_FILE = 1027;
constexpr int IDC_CHOOSE_MD2 = 1028;
constexpr int IDC_CHOOSE_TEXTURE = 1029;
constexpr int IDC_CHOOSE_CARTOON = 1030;
constexpr int IDC_DISPLAY_NORMALS = 1032;
constexpr int IDC_APPLY_OFFSET_Y = 1033;
constexpr int IDC_INVERSE_NORMALS = 1034;
constexpr int IDC_NORMAL_LENGTH = 1037;
constexpr int IDC_NORMAL_SLIDER = 1038;
constexpr int IDC_SPEED_SLIDER = 1039;
constexpr int IDC_SPEED = 1040;
constexpr int IDC_TRIANGLE_COUNT = 1041;
constexpr int IDC_BLOCK_LIST = 1042;
constexpr int IDC_BLOCK_COUNT = 1043;
constexpr int IDC_CURRENT_BLOCK = 1044;
constexpr int IDC_FRAME_SLIDER = 1045;
constexpr int IDC_FIRST_FRAME = 1046;
constexpr int IDC_LAST_FRAME = 1047;
constexpr int IDC_CURRENT_FRAME = 1048;
constexpr int IDC_BUTTON_BACK = 1049;
constexpr int IDC_BUTTON_PLAY = 1050;
constexpr int IDC_BUTTON_STOP = 1051;
constexpr int IDC_BUTTON_AHEAD = 1052;
