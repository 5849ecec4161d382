// The system menu: the items Windows shows for a dialog's style plus what the
// program appends, shown as a GTK popup menu. Choosing an item sends
// WM_SYSCOMMAND with its command once the menu has closed, as Windows posts it.
#include "ui/framework/cmenu.h"
#include "ui/framework/gtk/window_system.h"

namespace framework {
namespace gtk {
namespace {

struct Choice {
  HWND window;
  UINT_PTR command;
};

gboolean DeliverChoice(gpointer data) {
  auto* choice = static_cast<Choice*>(data);
  Send(choice->window, WM_SYSCOMMAND, choice->command, 0);
  delete choice;
  return G_SOURCE_REMOVE;
}

void OnItemActivated(GtkMenuItem* item, gpointer data) {
  auto* window = static_cast<HWND>(data);
  const auto command =
      static_cast<UINT_PTR>(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(item), "command")));
  g_idle_add(DeliverChoice, new Choice{window, command});
}

}  // namespace

void ResetSystemMenu(HWND window) {
  auto& items = window->systemMenu.items;
  items.clear();
  items.push_back({MF_STRING, SC_MOVE, u"&Move"});
  if (window->style & WS_THICKFRAME) items.push_back({MF_STRING, SC_SIZE, u"&Size"});
  items.push_back({MF_SEPARATOR, 0, u""});
  items.push_back({MF_STRING, SC_CLOSE, u"&Close\tAlt+F4"});
}

void PopUpSystemMenu(HWND window, const GdkEvent* event) {
  GtkWidget* menu = gtk_menu_new();
  for (const auto& entry : window->systemMenu.items) {
    GtkWidget* item = nullptr;
    if (entry.flags & MF_SEPARATOR) {
      item = gtk_separator_menu_item_new();
    } else {
      item = gtk_menu_item_new_with_mnemonic(MnemonicText(entry.text).c_str());
      g_object_set_data(G_OBJECT(item), "command", GSIZE_TO_POINTER(entry.id));
      g_signal_connect(item, "activate", G_CALLBACK(OnItemActivated), window);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), window->widget, nullptr);
  // The menu is destroyed when it closes; a new one is built each time.
  g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkMenuShell* shell, gpointer) {
                     g_idle_add(
                         +[](gpointer widget) -> gboolean {
                           gtk_widget_destroy(GTK_WIDGET(widget));
                           return G_SOURCE_REMOVE;
                         },
                         shell);
                   }),
                   nullptr);
  if (event != nullptr) {
    gtk_menu_popup_at_pointer(GTK_MENU(menu), event);
  } else {
    GtkWidget* anchor = window->titleIcon ? window->titleIcon : window->widget;
    gtk_menu_popup_at_widget(GTK_MENU(menu), anchor, GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST,
                             nullptr);
    gtk_menu_shell_select_first(GTK_MENU_SHELL(menu), FALSE);
  }
}

}  // namespace gtk

BOOL CMenu::AppendMenuW(UINT flags, UINT_PTR id, LPCTSTR text) {
  if (m_hMenu == nullptr) return FALSE;
  m_hMenu->items.push_back({flags, id, (flags & MF_SEPARATOR) || !text ? u"" : text});
  return TRUE;
}

}  // namespace framework
