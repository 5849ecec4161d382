// Resources and start-up services over Win32: everything the program loads
// lives in the executable itself.
#include "ui/framework/cstring.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/win32/handles.h"

#include <string>

#include <windows.h>

#include <commctrl.h>

namespace framework {

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR) {
  return win32::FromWin(::GetModuleHandleW(nullptr));
}

HICON CWinApp::LoadIconW(UINT id) const {
  const LPCTSTR name = win32::IntResource(id);
  ::HINSTANCE module = win32::ToWin(AfxFindResourceHandle(name, win32::IntResource(14)));
  return win32::FromWin(::LoadIconW(module, win32::ToWin(name)));
}

BOOL CString::LoadStringW(UINT id) {
  ::HINSTANCE module =
      win32::ToWin(AfxFindResourceHandle(win32::IntResource(id / 16 + 1), win32::IntResource(6)));
  // With a buffer size of 0, LoadStringW points at the resource's own text
  // and returns its length; that text is not NUL-terminated.
  const wchar_t* resource = nullptr;
  const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || resource == nullptr) {
    text_.clear();
    return FALSE;
  }
  text_.assign(reinterpret_cast<const char16_t*>(resource), static_cast<std::size_t>(length));
  return TRUE;
}

CString::CString(const char* text) { *this = text; }

CString& CString::operator=(const char* text) {
  text_.clear();
  if (text == nullptr || *text == '\0') return *this;
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return *this;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  text_.assign(reinterpret_cast<const char16_t*>(wide.data()),
               static_cast<std::size_t>(length - 1));
  return *this;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  ::INITCOMMONCONTROLSEX native{};
  native.dwSize = sizeof native;
  native.dwICC = init->dwICC;
  return ::InitCommonControlsEx(&native);
}

}  // namespace framework
