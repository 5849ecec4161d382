// Menus, painting and system metrics over Win32.
#include "ui/framework/cdc.h"
#include "ui/framework/cmenu.h"
#include "ui/framework/cpaintdc.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/win32/handles.h"

#include <windows.h>

namespace framework {

BOOL CMenu::AppendMenuW(UINT flags, UINT_PTR id, LPCTSTR text) {
  return ::AppendMenuW(win32::ToWin(m_hMenu), flags, id, win32::ToWin(text));
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  return ::DrawIcon(win32::ToWin(m_hDC), x, y, win32::ToWin(icon));
}

struct CPaintDC::PaintState {
  PAINTSTRUCT paint;
};

CPaintDC::CPaintDC(CWnd* window) : window_(window), state_(std::make_unique<PaintState>()) {
  m_hDC = win32::FromWin(::BeginPaint(win32::ToWin(window_->m_hWnd), &state_->paint));
}

CPaintDC::~CPaintDC() { ::EndPaint(win32::ToWin(window_->m_hWnd), &state_->paint); }

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

}  // namespace framework
