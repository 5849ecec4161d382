// Conversions between the framework's opaque handles and text and the Win32
// ones. The framework's handle structs are never defined: on this backend a
// framework handle is the Win32 handle's value.
//
// <windows.h> defines TRUE, WM_PAINT, MAKEINTRESOURCE and many more as
// macros, which would rewrite the framework's own declarations of those
// names, so every backend file includes the framework's headers first and
// <windows.h> after them, and spells Win32 types with a leading :: where
// the framework has a type of the same name.
#pragma once

#include "ui/framework/types.h"

#include <windows.h>

namespace framework::win32 {

inline ::HWND ToWin(framework::HWND h) { return reinterpret_cast<::HWND>(h); }
inline ::HICON ToWin(framework::HICON h) { return reinterpret_cast<::HICON>(h); }
inline ::HMENU ToWin(framework::HMENU h) { return reinterpret_cast<::HMENU>(h); }
inline ::HDC ToWin(framework::HDC h) { return reinterpret_cast<::HDC>(h); }
inline ::HINSTANCE ToWin(framework::HINSTANCE h) { return reinterpret_cast<::HINSTANCE>(h); }

inline framework::HWND FromWin(::HWND h) { return reinterpret_cast<framework::HWND>(h); }
inline framework::HICON FromWin(::HICON h) { return reinterpret_cast<framework::HICON>(h); }
inline framework::HMENU FromWin(::HMENU h) { return reinterpret_cast<framework::HMENU>(h); }
inline framework::HDC FromWin(::HDC h) { return reinterpret_cast<framework::HDC>(h); }
inline framework::HINSTANCE FromWin(::HINSTANCE h) {
  return reinterpret_cast<framework::HINSTANCE>(h);
}

// Windows' WCHAR is a 16-bit wchar_t; the framework's is char16_t. They hold
// the same UTF-16 code units.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline LPCWSTR ToWin(framework::LPCTSTR text) { return reinterpret_cast<LPCWSTR>(text); }

// A resource ordinal as the framework passes resource names.
inline framework::LPCTSTR IntResource(unsigned id) {
  return reinterpret_cast<framework::LPCTSTR>(static_cast<ULONG_PTR>(id & 0xFFFF));
}

}  // namespace framework::win32
