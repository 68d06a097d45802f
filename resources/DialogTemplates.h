#pragma once
// The dialog templates: caption, style, font and size of each dialog, and its controls with their
// ids, kinds, texts, rectangles and styles. Positions and sizes are in dialog units.

#include "platform/os/MessageBox.h"
#include "platform/ui/ResourceTables.h"
#include "platform/ui/WindowStyles.h"
#include "resources/Resource.h"

namespace dialog_templates {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTab = kChild | WS_TABSTOP;
constexpr DWORD kInfoEdit = kChild | WS_DISABLED | ES_RIGHT | ES_AUTOHSCROLL;
constexpr DWORD kSliderStyle = kTab | TBS_AUTOTICKS | TBS_BOTH;
constexpr DWORD kColorEdit = kTab | WS_BORDER | ES_AUTOHSCROLL;

inline constexpr DialogItem kAboutItems[] = {
    {IDC_STATIC, ControlKind::Icon, nullptr, 11, 17, 20, 20, kChild | SS_ICON},
    {IDC_STATIC, ControlKind::Static, "QuorvelMD2Viewer 버전 1.02", 40, 10, 119, 8, kChild},
    {IDOK, ControlKind::DefPushButton, "확인", 178, 7, 50, 14, kTab | WS_GROUP},
};

inline constexpr DialogItem kColorsPageItems[] = {
    {IDC_STATIC, ControlKind::GroupBox, "배경색", 7, 0, 117, 23, kChild},
    {IDC_BACK_SWATCH, ControlKind::Frame, nullptr, 13, 9, 14, 11, kChild | SS_BLACKFRAME},
    {IDC_STATIC, ControlKind::Static, "R", 32, 10, 8, 8, kChild},
    {IDC_BACK_RED, ControlKind::Edit, nullptr, 39, 8, 14, 12, kColorEdit},
    {IDC_STATIC, ControlKind::Static, "G", 55, 10, 8, 8, kChild},
    {IDC_BACK_GREEN, ControlKind::Edit, nullptr, 62, 8, 14, 12, kColorEdit},
    {IDC_STATIC, ControlKind::Static, "B", 78, 10, 8, 8, kChild},
    {IDC_BACK_BLUE, ControlKind::Edit, nullptr, 85, 8, 14, 12, kColorEdit},
    {IDC_BACK_COLOR_DIALOG, ControlKind::PushButton, "...", 104, 8, 14, 13, kTab},
    {IDC_STATIC, ControlKind::GroupBox, "문자색", 7, 24, 117, 37, kChild},
    {IDC_TEXT_SWATCH, ControlKind::Frame, nullptr, 13, 33, 14, 11, kChild | SS_BLACKFRAME},
    {IDC_STATIC, ControlKind::Static, "R", 32, 34, 8, 8, kChild},
    {IDC_TEXT_RED, ControlKind::Edit, nullptr, 39, 32, 14, 12, kColorEdit},
    {IDC_STATIC, ControlKind::Static, "G", 55, 34, 8, 8, kChild},
    {IDC_TEXT_GREEN, ControlKind::Edit, nullptr, 62, 32, 14, 12, kColorEdit},
    {IDC_STATIC, ControlKind::Static, "B", 78, 34, 8, 8, kChild},
    {IDC_TEXT_BLUE, ControlKind::Edit, nullptr, 85, 32, 14, 12, kColorEdit},
    {IDC_TEXT_COLOR_DIALOG, ControlKind::PushButton, "...", 104, 32, 14, 13, kTab},
    {IDC_DISPLAY_TEXT, ControlKind::CheckBox, "display_Text", 13, 47, 57, 10, kTab},
    {IDC_FONT_SLIDER, ControlKind::Slider, nullptr, 67, 45, 37, 13, kSliderStyle},
    {IDC_FONT_HEIGHT, ControlKind::Edit, nullptr, 104, 46, 14, 12, kChild | WS_DISABLED | WS_BORDER},
    {IDC_STATIC, ControlKind::Static, "# toggle_Key; 1", 7, 70, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "와이어/ 솔리드 모드 전환", 17, 82, 100, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "# toggle_Key; 2 - 카메라전환", 7, 97, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "-. 1인칭 카메라", 17, 109, 100, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "WSAD - 전후좌우", 21, 119, 96, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "RF - 위,아래 이동", 21, 129, 96, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "-. 3인칭 카메라", 17, 141, 100, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "중간휠로 zoom 조절", 25, 151, 92, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "# 마우스조작", 7, 165, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "왼쪽 마우스 - 물체 로컬회전", 15, 175, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "오른쪽 마우스 - 카메라 회전", 15, 185, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "# 노말값이 바뀌었을 경우", 7, 201, 110, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "Inverse_Normal 값을 체크", 15, 211, 110, 8, kChild},
};

inline constexpr DialogItem kModelPageItems[] = {
    {IDC_STATIC, ControlKind::GroupBox, "MD2_information", 5, 3, 119, 53, kChild},
    {IDC_STATIC, ControlKind::Static, "Num_Triangles ; ", 10, 14, 55, 11, kChild},
    {IDC_TRIANGLE_COUNT, ControlKind::Edit, nullptr, 66, 13, 31, 12, kInfoEdit},
    {IDC_STATIC, ControlKind::Static, "Num_Block ; ", 10, 28, 48, 11, kChild},
    {IDC_BLOCK_COUNT, ControlKind::Edit, nullptr, 66, 27, 31, 12, kInfoEdit},
    {IDC_STATIC, ControlKind::Static, "Now_Block ; ", 10, 43, 44, 11, kChild},
    {IDC_CURRENT_BLOCK, ControlKind::Edit, nullptr, 66, 41, 31, 12, kInfoEdit},
    {IDC_BLOCK_LIST, ControlKind::ListView, nullptr, 5, 60, 119, 112,
     kTab | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_NOLABELWRAP},
    {IDC_STATIC, ControlKind::Static, "AniFrame >>", 10, 177, 43, 8, kChild},
    {IDC_CURRENT_FRAME, ControlKind::Edit, nullptr, 54, 178, 14, 12, kChild | WS_DISABLED | ES_AUTOHSCROLL},
    {IDC_FRAME_SLIDER, ControlKind::Slider, nullptr, 25, 185, 81, 13, kSliderStyle},
    {IDC_FIRST_FRAME, ControlKind::Edit, nullptr, 9, 191, 14, 12, kInfoEdit},
    {IDC_LAST_FRAME, ControlKind::Edit, nullptr, 106, 191, 14, 12, kChild | WS_DISABLED | ES_AUTOHSCROLL},
    {IDC_BUTTON_BACK, ControlKind::OwnerDrawButton, "B", 29, 201, 13, 16, kTab | BS_OWNERDRAW},
    {IDC_BUTTON_PLAY, ControlKind::OwnerDrawButton, "P", 44, 201, 13, 16, kTab | BS_OWNERDRAW},
    {IDC_BUTTON_STOP, ControlKind::OwnerDrawButton, "S", 59, 201, 13, 16, kTab | BS_OWNERDRAW},
    {IDC_BUTTON_AHEAD, ControlKind::OwnerDrawButton, "A", 74, 201, 13, 16, kTab | BS_OWNERDRAW},
    {IDC_STATIC, ControlKind::GroupBox, "Apply Check", 5, 225, 119, 60, kChild},
    {IDC_APPLY_OFFSET_Y, ControlKind::CheckBox, "offsetY", 13, 235, 39, 10, kTab},
    {IDC_INVERSE_NORMALS, ControlKind::CheckBox, "Inverse_Normal", 13, 247, 65, 10, kTab},
    {IDC_DISPLAY_NORMALS, ControlKind::CheckBox, "display_Nor.", 13, 259, 55, 10, kTab},
    {IDC_NORMAL_SLIDER, ControlKind::Slider, nullptr, 65, 254, 39, 13, kSliderStyle},
    {IDC_NORMAL_LENGTH, ControlKind::Edit, nullptr, 104, 255, 14, 12, kChild | WS_DISABLED | WS_BORDER},
    {IDC_STATIC, ControlKind::Static, "@ FrameRate", 14, 272, 46, 11, kChild},
    {IDC_SPEED_SLIDER, ControlKind::Slider, nullptr, 65, 266, 39, 13, kSliderStyle},
    {IDC_SPEED, ControlKind::Edit, nullptr, 104, 268, 14, 12, kColorEdit},
};

inline constexpr DialogItem kLoadItems[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 151, 20, 29, 12, kTab},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 151, 35, 29, 12, kTab},
    {IDC_STATIC, ControlKind::Static, "MD2file", 11, 10, 28, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "texture", 11, 23, 28, 8, kChild},
    {IDC_STATIC, ControlKind::Static, "cartoon", 11, 36, 28, 8, kChild},
    {IDC_MD2_FILE, ControlKind::Edit, nullptr, 41, 9, 83, 12, kTab | WS_BORDER | ES_AUTOHSCROLL},
    {IDC_TEXTURE_FILE, ControlKind::Edit, nullptr, 41, 22, 83, 12, kTab | WS_BORDER | ES_AUTOHSCROLL},
    {IDC_CARTOON_FILE, ControlKind::Edit, nullptr, 41, 35, 83, 12, kTab | WS_BORDER | ES_AUTOHSCROLL},
    {IDC_CHOOSE_MD2, ControlKind::PushButton, "Click", 127, 9, 17, 9, kTab},
    {IDC_CHOOSE_TEXTURE, ControlKind::PushButton, "Click", 127, 23, 17, 9, kTab},
    {IDC_CHOOSE_CARTOON, ControlKind::PushButton, "Click", 127, 38, 17, 9, kTab},
};

constexpr DWORD kModalStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
constexpr DWORD kPageStyle = WS_CHILD | WS_CAPTION | DS_SETFONT;

template <std::size_t N> constexpr int Count(const DialogItem (&)[N]) {
    return static_cast<int>(N);
}

inline constexpr DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "Quorvel 정보", kModalStyle, "굴림", 9, 235, 55, kAboutItems, Count(kAboutItems)},
    {IDD_PROPPAGE_COLORS, "Page_1", kPageStyle, "MS Sans Serif", 8, 131, 290, kColorsPageItems,
     Count(kColorsPageItems)},
    {IDD_PROPPAGE_MODEL, "Page_3", kPageStyle, "MS Sans Serif", 8, 131, 313, kModelPageItems,
     Count(kModelPageItems)},
    {IDD_LOAD_MD2, "Dialog_Load MD2", kModalStyle, "System", 10, 187, 58, kLoadItems, Count(kLoadItems)},
};

} // namespace dialog_templates
