// The GTK backend's small window system: what a framework handle is on this
// backend, message delivery, default processing, and the embedded resources.
// Everything runs on the one GTK thread.
//
// GLib defines TRUE and FALSE as macros, which would rewrite the framework's
// own declarations of those names, so the framework's headers come first
// here, and every backend file includes them before this one.
#pragma once

#include "ui/framework/cwnd.h"
#include "ui/framework/resource_file.h"
#include "ui/framework/types.h"

#include <string>
#include <vector>

#include <gtk/gtk.h>

namespace framework {

// A menu: the system menu of a dialog, as a list the program may append to.
struct HMENU__ {
  struct Item {
    UINT flags;
    UINT_PTR id;
    std::u16string text;
  };
  std::vector<Item> items;
};

// An icon: every image of its icon group, largest first.
struct HICON__ {
  std::vector<GdkPixbuf*> images;
};

// A device context. Nothing is drawn through it on this backend: GTK paints
// the windows, and a minimised window is never shown.
struct HDC__ {};

// A window: a dialog or one of its controls.
struct HWND__ {
  enum class Kind { kDialog, kButton, kGroupBox, kEdit, kStatic, kIcon };
  Kind kind = Kind::kStatic;
  GtkWidget* widget = nullptr;  // the GtkWindow of a dialog, else the control
  HWND__* parent = nullptr;     // a control's dialog
  int id = 0;
  DWORD style = 0;
  CWnd* owner = nullptr;           // the CWnd whose message map handles it
  std::vector<HWND__*> controls;   // a dialog's controls, in template order
  HMENU__ systemMenu;              // a dialog's system menu
  GtkWidget* content = nullptr;    // a dialog's GtkFixed
  GtkWidget* titleIcon = nullptr;  // a dialog's title-bar icon
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  int disabledBy = 0;              // modal runs that disable this window
  GMainLoop* modalLoop = nullptr;  // a dialog's modal run, while it runs
  INT_PTR modalResult = 0;
};

namespace gtk {

// Windows' values for the window styles, messages and system commands that
// more than one backend file acts on.
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_GETICON = 0x007F;
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_KEYMENU = 0xF100;

// Delivers a message to `window` at once: through its CWnd's message map when
// it has one, else to its default processing. Returns the result.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window system's own processing of a message.
LRESULT DefaultProcessing(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The compiled resources embedded in the program.
const ResourceFile& Resources();

// The system menu of `window` as Windows shows it for its style.
void ResetSystemMenu(HWND window);
// Pops the system menu up under the title-bar icon (`event` null) or at the
// pointer of a mouse event.
void PopUpSystemMenu(HWND window, const GdkEvent* event);

// The image of `icon` best shown at `pixels` (device pixels): the smallest at
// least that large, else the largest; null for a null or empty icon. Owned
// by the icon.
GdkPixbuf* PickImage(HICON icon, int pixels);
// A surface for `image` drawn at `size` logical pixels on `widget`'s screen
// scale. The caller destroys it.
cairo_surface_t* IconSurface(GdkPixbuf* image, int size, GtkWidget* widget);

// A Windows text with & marking its access key ("&Move", "关于(&A)") as GTK
// marks it ("_Move"); "&&" is a plain "&", and a tab ends the text (the
// accelerator column of a menu item is not shown).
std::string MnemonicText(std::u16string_view text);

// UTF-16 to UTF-8 and back; invalid units become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(const char* text);

// The control of `window`'s dialog with `id`; null if none.
HWND FindControl(HWND dialog, int id);

// The language the program's resources are looked up in.
inline constexpr std::uint16_t kResourceLanguage = 0x0804;

}  // namespace gtk
}  // namespace framework
