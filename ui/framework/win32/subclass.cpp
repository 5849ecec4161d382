#include "ui/framework/win32/subclass.h"

#include "ui/framework/win32/handles.h"

#include <map>

#include <windows.h>

namespace framework::win32 {
namespace {

struct Subclassed {
  CWnd* owner;
  WNDPROC original;
};

// One UI thread does everything, so a plain map serves.
std::map<::HWND, Subclassed>& Windows() {
  static std::map<::HWND, Subclassed> windows;
  return windows;
}

::LRESULT CALLBACK SubclassProc(::HWND hwnd, ::UINT message, ::WPARAM wParam, ::LPARAM lParam) {
  auto found = Windows().find(hwnd);
  if (found == Windows().end()) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  const Subclassed window = found->second;
  if (message == WM_NCDESTROY) {
    // The last message: hand the window back and forget it.
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window.original));
    Windows().erase(found);
    window.owner->m_hWnd = nullptr;
    return ::CallWindowProcW(window.original, hwnd, message, wParam, lParam);
  }
  return window.owner->WindowProc(message, wParam, lParam);
}

}  // namespace

void Subclass(framework::HWND window, CWnd& owner) {
  owner.m_hWnd = window;
  const auto previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(ToWin(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  Windows()[ToWin(window)] = {&owner, previous};
}

framework::LRESULT CallOriginalProc(framework::HWND window, UINT message, framework::WPARAM wParam,
                                    framework::LPARAM lParam) {
  auto found = Windows().find(ToWin(window));
  if (found == Windows().end()) return ::DefWindowProcW(ToWin(window), message, wParam, lParam);
  return ::CallWindowProcW(found->second.original, ToWin(window), message, wParam, lParam);
}

}  // namespace framework::win32
