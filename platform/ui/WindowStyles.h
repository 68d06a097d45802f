#pragma once
// Window and control style bits with their Win32 values, as the dialog templates carry them.

#include "platform/os/WinTypes.h"

constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;

constexpr DWORD DS_MODALFRAME = 0x00000080;
constexpr DWORD DS_SETFONT = 0x00000040;

constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_BLACKFRAME = 0x0007;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD TBS_AUTOTICKS = 0x0001;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOLABELWRAP = 0x0080;

// Property sheet and page flags.
constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
constexpr DWORD PSP_USETITLE = 0x00000008;
