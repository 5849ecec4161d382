// The window-system types, messages and constants that Tessel's dialogs use,
// under their Windows names and with their Windows values, so that message
// numbers, notification codes and styles mean the same on every backend.
//
// They live in namespace framework rather than at global scope: a backend
// file can then include both these headers and the platform's own (for
// example <windows.h>) without clashes, and convert at its boundary.
#pragma once

#include <cstdint>

namespace framework {

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using UINT = unsigned int;
using DWORD = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Text on every backend is UTF-16.
using WCHAR = char16_t;
using LPCTSTR = const char16_t*;

// Handles are opaque: each backend defines what the structs hold.
struct HWND__;
struct HICON__;
struct HMENU__;
struct HDC__;
struct HINSTANCE__;
using HWND = HWND__*;
using HICON = HICON__*;
using HCURSOR = HICON__*;
using HMENU = HMENU__*;
using HDC = HDC__*;
using HINSTANCE = HINSTANCE__*;

// A resource name is text or, as Windows encodes it, an ordinal below 0x10000
// carried in the pointer itself.
inline LPCTSTR MAKEINTRESOURCE(UINT id) {
  return reinterpret_cast<LPCTSTR>(static_cast<std::uintptr_t>(id & 0xFFFF));
}
inline bool IS_INTRESOURCE(LPCTSTR name) {
  return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}
inline const LPCTSTR RT_DIALOG = MAKEINTRESOURCE(5);
inline const LPCTSTR RT_STRING = MAKEINTRESOURCE(6);
inline const LPCTSTR RT_GROUP_ICON = MAKEINTRESOURCE(14);

constexpr unsigned LOWORD(std::uintptr_t value) { return value & 0xFFFF; }
constexpr unsigned HIWORD(std::uintptr_t value) { return (value >> 16) & 0xFFFF; }

struct RECT {
  long left, top, right, bottom;
};
using LPRECT = RECT*;

// Window messages.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;

// Notification codes carried in WM_COMMAND.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT EN_UPDATE = 0x0400;

// Command IDs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT ID_HELP = 0xE146;

// WM_SETICON's first parameter.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// Menu item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// System metrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

// Common-controls initialisation.
struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
inline constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;

// Restart-manager support flags of CWinApp.
inline constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

}  // namespace framework
