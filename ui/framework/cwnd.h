// CWnd: a window, and the base of the dialogs.
//
// A CWnd either owns its window's message handling (a dialog while it runs:
// messages go through its message map, then to the window system's default
// processing) or only wraps a handle (the control wrappers GetDlgItem
// returns, which the parent keeps until it is destroyed).
#pragma once

#include <map>
#include <memory>

#include "ui/framework/ccmdtarget.h"
#include "ui/framework/cstring.h"
#include "ui/framework/types.h"

namespace framework {

class CMenu;

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The child control `id` of this window, or null if there is none. The
  // object stays valid while this CWnd lives.
  CWnd* GetDlgItem(int id) const;

  // Fills `text` with the window's whole text.
  void GetWindowTextW(CString& text) const;
  // Replaces the window's text.
  void SetWindowTextW(LPCTSTR text);

  // Delivers a message to this window and returns once it is handled.
  LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Sets the window's big (TRUE) or small (FALSE) icon with WM_SETICON and
  // returns the icon it had.
  HICON SetIcon(HICON icon, BOOL bigIcon);

  BOOL IsIconic() const;
  void GetClientRect(LPRECT rect) const;
  // The window's system menu (the copy the window may change, unless
  // `revert`), or null if it has none.
  CMenu* GetSystemMenu(BOOL revert) const;

  // The window system's own processing of the message being handled.
  LRESULT Default();

  // Runs a message through the message map, then default processing.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // Default processing; the window system's original window procedure.
  virtual LRESULT DefWindowProcW(UINT message, WPARAM wParam, LPARAM lParam);

  // Base handlers: both give the message its default processing.
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();

 private:
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  Message current_;
  mutable std::map<HWND, std::unique_ptr<CWnd>> controls_;
};

}  // namespace framework
