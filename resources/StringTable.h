#pragma once
// The string table. A command's string is its status-bar prompt, then, after a newline, its
// tooltip.

#include "platform/ui/ResourceTables.h"
#include "resources/Resource.h"

inline constexpr StringResource kStringTable[] = {
    {IDR_MAINFRAME, "xkq_QuorvelMD2Viewer\nv1.0\n\n\n\nLumivox.Document\nLumivox Document"},
    {IDS_SHEET_CAPTION, "Hand Made"},
    {ID_OPEN_ANIMATION, "애니메이션 파일을 엽니다"},
    {ID_OPEN_MESH, "메쉬 파일을 엽니다"},
    {ID_FILL_SOLID, "화면표시 - 솔리드 ( toggle - Num.1 )"},
    {ID_FILL_WIREFRAME, "화면표시 - 와이어 ( toggle - Num.1 )"},
    {ID_SHOW_NORMALS, "Normal Vector 표시 여부"},
    {ID_LIGHTING, "Light  적용 유무"},
    {ID_CAMERA_VIEW, "카메라 - View ( toggle - Num.2 )"},
    {ID_CAMERA_LOOKAT, "카메라 - Look At  ( toggle - Num.2 )"},
    {ID_MAP_INFO, "맵을 불러옵니다."},
    {ID_CAMERA_RESET, "카메라 - reset"},
    {ID_VIEW_SMOOTH_MOTION,
     "키 프레임 사이를 부드럽게 이어 보여 줍니다 ( toggle - Ctrl+I )\n부드러운 움직임"},
    {ID_SAVE_PICTURE, "지금 화면을 PNG 그림 파일로 저장합니다\n그림 저장"},
    {ID_APP_ABOUT, "프로그램 정보와 버전 정보, 저작권 정보를 표시합니다\n정보"},
    {ID_APP_EXIT, "응용 프로그램을 종료하기 위해 문서를 저장할 것인지 묻습니다\n종료"},
    {ID_VIEW_TOOLBAR, "도구 모음을 보이거나 감춥니다\n도구 모음 전환"},
    {ID_VIEW_STATUS_BAR, "상태 표시줄을 표시하거나 감춥니다\n상태 표시줄 전환"},
    {AFX_IDS_APP_TITLE, "Lumivox"},
    {AFX_IDS_IDLEMESSAGE, "준비"},
    {ID_FILE_NEW, "새 문서를 만듭니다\n새 파일"},
    {ID_FILE_OPEN, "기존 문서를 엽니다\n열기"},
    {ID_FILE_SAVE, "현재 문서를 저장합니다\n저장"},
    {ID_FILE_PRINT_SETUP, "프린터 및 인쇄 옵션을 변경합니다\n인쇄 설정"},
    {ID_FILE_PRINT, "현재 문서를 인쇄합니다\n인쇄"},
    {ID_FILE_PRINT_DIRECT, "현재 옵션으로 현재 문서를 인쇄합니다\n빠른 인쇄"},
    {ID_FILE_PRINT_PREVIEW, "전체 페이지를 표시합니다\n인쇄 미리 보기"},
    {ID_EDIT_COPY, "선택 영역을 복사하여 클립보드에 넣습니다\n복사"},
    {ID_EDIT_CUT, "선택 영역을 잘라내어 클립보드에 넣습니다\n잘라내기"},
    {ID_EDIT_PASTE, "클립보드 내용을 삽입합니다\n붙여넣기"},
    {ID_EDIT_UNDO, "마지막 작업을 취소합니다\n실행 취소"},
    {ID_NEXT_PANE, "다음 창으로 전환합니다\n다음 창"},
    {ID_PREV_PANE, "이전 창으로 전환합니다\n이전 창"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
};
