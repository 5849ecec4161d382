// The platform-free half of CWnd: message dispatch. The backend defines the
// rest (handles, text, painting, default processing).
#include "ui/framework/cwnd.h"

#include "ui/framework/cwinapp.h"

namespace framework {

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Default() may be called from inside a handler, and handlers may nest
  // (a modal run inside one), so the current message is saved and restored.
  const Message outer = current_;
  current_ = {message, wParam, lParam};
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) {
    // Commands the window does not handle go on to the application object.
    CWinApp* app = AfxGetApp();
    if (message != WM_COMMAND || app == nullptr ||
        !app->OnWndMsg(message, wParam, lParam, &result)) {
      result = DefWindowProcW(message, wParam, lParam);
    }
  }
  current_ = outer;
  return result;
}

LRESULT CWnd::Default() {
  return DefWindowProcW(current_.message, current_.wParam, current_.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnPaint() { Default(); }

}  // namespace framework
