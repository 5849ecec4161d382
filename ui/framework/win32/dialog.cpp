// Modal dialogs over the Win32 dialog manager.
#include "ui/framework/cdialog.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/win32/handles.h"
#include "ui/framework/win32/subclass.h"

#include <windows.h>

namespace framework {
namespace {

// Centres `dialog` over its visible owner, or over the work area of its
// monitor, keeping it within the work area.
void CenterWindow(::HWND dialog) {
  ::RECT box{};
  ::GetWindowRect(dialog, &box);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const ::RECT work = monitor.rcWork;
  ::RECT area = work;
  ::HWND owner = ::GetWindow(dialog, GW_OWNER);
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &area);
  }
  const LONG width = box.right - box.left;
  const LONG height = box.bottom - box.top;
  LONG left = area.left + (area.right - area.left - width) / 2;
  LONG top = area.top + (area.bottom - area.top - height) / 2;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  ::SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog procedure. Its only work is WM_INITDIALOG: from then on the
// window is subclassed, and the dialog manager's calls to this procedure
// come from default processing, which wants FALSE ("not handled").
::INT_PTR CALLBACK DialogProc(::HWND hwnd, ::UINT message, ::WPARAM, ::LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  win32::Subclass(win32::FromWin(hwnd), *dialog);

  ::RECT before{};
  ::GetWindowRect(hwnd, &before);
  const framework::BOOL result = dialog->OnInitDialog();
  ::RECT after{};
  ::GetWindowRect(hwnd, &after);
  // A template at (0, 0) that OnInitDialog left in place is centred.
  if (::EqualRect(&before, &after)) CenterWindow(hwnd);
  return result;
}

}  // namespace

INT_PTR CDialog::DoModal() {
  const framework::LPCTSTR name = win32::IntResource(templateId());
  ::HINSTANCE module = win32::ToWin(AfxFindResourceHandle(name, win32::IntResource(5)));
  return ::DialogBoxParamW(module, win32::ToWin(name), win32::ToWin(OwnerForModalRun()),
                           &DialogProc, reinterpret_cast<::LPARAM>(this));
}

void CDialog::EndDialog(int result) { ::EndDialog(win32::ToWin(m_hWnd), result); }

}  // namespace framework
