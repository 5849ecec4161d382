// CWnd over the GTK backend's windows.
#include "ui/framework/cmenu.h"
#include "ui/framework/cwnd.h"
#include "ui/framework/gtk/window_system.h"

namespace framework {

CWnd::~CWnd() = default;

CWnd* CWnd::GetDlgItem(int id) const {
  HWND control = gtk::FindControl(m_hWnd, id);
  if (control == nullptr) return nullptr;
  auto& wrapper = controls_[control];
  if (!wrapper) {
    wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = control;
  }
  return wrapper.get();
}

void CWnd::GetWindowTextW(CString& text) const {
  if (m_hWnd == nullptr) {
    text = CString();
    return;
  }
  GtkWidget* widget = m_hWnd->widget;
  const char* utf8 = "";
  switch (m_hWnd->kind) {
    case HWND__::Kind::kDialog:
      utf8 = gtk_window_get_title(GTK_WINDOW(widget));
      break;
    case HWND__::Kind::kEdit:
      utf8 = gtk_entry_get_text(GTK_ENTRY(widget));
      break;
    case HWND__::Kind::kButton:
      utf8 = gtk_button_get_label(GTK_BUTTON(widget));
      break;
    case HWND__::Kind::kStatic:
      utf8 = gtk_label_get_text(GTK_LABEL(widget));
      break;
    case HWND__::Kind::kGroupBox:
      utf8 = gtk_frame_get_label(GTK_FRAME(widget));
      break;
    case HWND__::Kind::kIcon:
      break;
  }
  text = CString(gtk::FromUtf8(utf8));
}

void CWnd::SetWindowTextW(LPCTSTR text) {
  if (m_hWnd == nullptr) return;
  const std::string utf8 = gtk::ToUtf8(text ? text : u"");
  GtkWidget* widget = m_hWnd->widget;
  switch (m_hWnd->kind) {
    case HWND__::Kind::kDialog:
      gtk_window_set_title(GTK_WINDOW(widget), utf8.c_str());
      break;
    case HWND__::Kind::kEdit:
      gtk_entry_set_text(GTK_ENTRY(widget), utf8.c_str());
      break;
    case HWND__::Kind::kButton:
      gtk_button_set_label(GTK_BUTTON(widget), utf8.c_str());
      break;
    case HWND__::Kind::kStatic:
      gtk_label_set_text(GTK_LABEL(widget), utf8.c_str());
      break;
    case HWND__::Kind::kGroupBox:
      gtk_frame_set_label(GTK_FRAME(widget), utf8.c_str());
      break;
    case HWND__::Kind::kIcon:
      break;
  }
}

LRESULT CWnd::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
  return gtk::Send(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
  const WPARAM which = bigIcon ? ICON_BIG : ICON_SMALL;
  return reinterpret_cast<HICON>(SendMessageW(WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::IsIconic() const {
  if (m_hWnd == nullptr) return FALSE;
  GdkWindow* window = gtk_widget_get_window(m_hWnd->widget);
  return window && (gdk_window_get_state(window) & GDK_WINDOW_STATE_ICONIFIED) ? TRUE : FALSE;
}

void CWnd::GetClientRect(LPRECT rect) const {
  GtkWidget* client = m_hWnd && m_hWnd->content ? m_hWnd->content
                      : m_hWnd                  ? m_hWnd->widget
                                                : nullptr;
  GtkAllocation allocation{};
  if (client != nullptr) gtk_widget_get_allocation(client, &allocation);
  *rect = {0, 0, allocation.width, allocation.height};
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
  if (m_hWnd == nullptr || m_hWnd->kind != HWND__::Kind::kDialog) return nullptr;
  if (revert) {
    // As on Windows: back to the default menu, and no menu is returned.
    gtk::ResetSystemMenu(m_hWnd);
    return nullptr;
  }
  return CMenu::FromHandle(&m_hWnd->systemMenu);
}

LRESULT CWnd::DefWindowProcW(UINT message, WPARAM wParam, LPARAM lParam) {
  return gtk::DefaultProcessing(m_hWnd, message, wParam, lParam);
}

}  // namespace framework
