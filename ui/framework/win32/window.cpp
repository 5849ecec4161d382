// CWnd over Win32 windows.
#include "ui/framework/cmenu.h"
#include "ui/framework/cwnd.h"
#include "ui/framework/win32/handles.h"
#include "ui/framework/win32/subclass.h"

#include <vector>

#include <windows.h>

namespace framework {

using win32::FromWin;
using win32::ToWin;

CWnd::~CWnd() = default;

CWnd* CWnd::GetDlgItem(int id) const {
  ::HWND control = ::GetDlgItem(ToWin(m_hWnd), id);
  if (control == nullptr) return nullptr;
  auto& wrapper = controls_[FromWin(control)];
  if (!wrapper) {
    wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = FromWin(control);
  }
  return wrapper.get();
}

void CWnd::GetWindowTextW(CString& text) const {
  const int length = ::GetWindowTextLengthW(ToWin(m_hWnd));
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = ::GetWindowTextW(ToWin(m_hWnd), buffer.data(), length + 1);
  text = CString(std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                                static_cast<std::size_t>(copied > 0 ? copied : 0)));
}

void CWnd::SetWindowTextW(LPCTSTR text) { ::SetWindowTextW(ToWin(m_hWnd), ToWin(text)); }

LRESULT CWnd::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(ToWin(m_hWnd), message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
  const WPARAM which = bigIcon ? ICON_BIG : ICON_SMALL;
  return reinterpret_cast<HICON>(SendMessageW(WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::IsIconic() const { return ::IsIconic(ToWin(m_hWnd)); }

void CWnd::GetClientRect(LPRECT rect) const {
  ::RECT client{};
  ::GetClientRect(ToWin(m_hWnd), &client);
  *rect = {client.left, client.top, client.right, client.bottom};
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
  return CMenu::FromHandle(FromWin(::GetSystemMenu(ToWin(m_hWnd), revert)));
}

LRESULT CWnd::DefWindowProcW(UINT message, WPARAM wParam, LPARAM lParam) {
  return win32::CallOriginalProc(m_hWnd, message, wParam, lParam);
}

}  // namespace framework
