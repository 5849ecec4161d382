#include "ui/framework/gtk/window_system.h"

#include <cstddef>
#include <span>

namespace framework {

// The compiled resource script, embedded by the build.
extern const unsigned char kEmbeddedResources[];
extern const std::size_t kEmbeddedResourcesSize;

namespace gtk {
namespace {

void ApplyIcons(HWND dialog) {
  HICON icon = dialog->bigIcon ? dialog->bigIcon : dialog->smallIcon;
  GList* list = nullptr;
  if (icon != nullptr) {
    for (GdkPixbuf* image : icon->images) list = g_list_append(list, image);
  }
  // The window manager picks the size it shows from the whole list.
  gtk_window_set_icon_list(GTK_WINDOW(dialog->widget), list);
  g_list_free(list);
  if (dialog->titleIcon != nullptr) {
    HICON small = dialog->smallIcon ? dialog->smallIcon : dialog->bigIcon;
    const int pixels = 16 * gtk_widget_get_scale_factor(dialog->widget);
    if (GdkPixbuf* best = PickImage(small, pixels)) {
      cairo_surface_t* surface = IconSurface(best, 16, dialog->titleIcon);
      gtk_image_set_from_surface(GTK_IMAGE(dialog->titleIcon), surface);
      cairo_surface_destroy(surface);
    }
  }
}

LRESULT DialogDefault(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETICON: {
      HICON& slot = wParam == ICON_BIG ? dialog->bigIcon : dialog->smallIcon;
      HICON previous = slot;
      slot = reinterpret_cast<HICON>(lParam);
      ApplyIcons(dialog);
      return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? dialog->bigIcon : dialog->smallIcon);
    case WM_SYSCOMMAND: {
      GtkWindow* window = GTK_WINDOW(dialog->widget);
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          return Send(dialog, WM_CLOSE, 0, 0);
        case SC_KEYMENU:
          PopUpSystemMenu(dialog, nullptr);
          return 0;
        case SC_MOVE:
        case SC_SIZE: {
          GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(dialog->widget));
          gint x = 0, y = 0;
          gdk_window_get_device_position(gdk_get_default_root_window(), gdk_seat_get_pointer(seat),
                                         &x, &y, nullptr);
          if ((wParam & 0xFFF0) == SC_MOVE) {
            gtk_window_begin_move_drag(window, 1, x, y, GDK_CURRENT_TIME);
          } else if (gtk_window_get_resizable(window)) {
            gtk_window_begin_resize_drag(window, GDK_WINDOW_EDGE_SOUTH_EAST, 1, x, y,
                                         GDK_CURRENT_TIME);
          }
          return 0;
        }
      }
      return 0;
    }
    case WM_CLOSE: {
      // As the dialog manager does: closing is the Cancel command.
      HWND cancel = FindControl(dialog, IDCANCEL);
      return Send(dialog, WM_COMMAND, static_cast<WPARAM>(IDCANCEL),
                  reinterpret_cast<LPARAM>(cancel));
    }
    default:
      return 0;
  }
}

}  // namespace

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return 0;
  if (window->owner != nullptr) return window->owner->WindowProc(message, wParam, lParam);
  return DefaultProcessing(window, message, wParam, lParam);
}

LRESULT DefaultProcessing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return 0;
  if (window->kind == HWND__::Kind::kDialog) {
    return DialogDefault(window, message, wParam, lParam);
  }
  return 0;
}

const ResourceFile& Resources() {
  static const ResourceFile resources = [] {
    auto parsed = ResourceFile::Parse(
        std::as_bytes(std::span<const unsigned char>(kEmbeddedResources, kEmbeddedResourcesSize)));
    if (!parsed) {
      g_printerr("tessel: the embedded resources are damaged (%s)\n",
                 std::string(Describe(parsed.error())).c_str());
      // Go on with none: every dialog then fails to open, which ends the
      // program as a dialog that cannot be created does.
      static const unsigned char kNoResources[32] = {0,    0,    0, 0, 32,   0,    0, 0,
                                                     0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
      return *ResourceFile::Parse(
          std::as_bytes(std::span<const unsigned char>(kNoResources, sizeof kNoResources)));
    }
    return *parsed;
  }();
  return resources;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    char bytes[6];
    const gint length = g_unichar_to_utf8(static_cast<gunichar>(c), bytes);
    out.append(bytes, static_cast<std::size_t>(length));
  }
  return out;
}

std::u16string FromUtf8(const char* text) {
  std::u16string out;
  if (text == nullptr) return out;
  for (const char* p = text; *p != '\0';) {
    gunichar c = g_utf8_get_char_validated(p, -1);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      out += u'\uFFFD';
      ++p;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    p = g_utf8_next_char(p);
  }
  return out;
}

std::string MnemonicText(std::u16string_view text) {
  std::u16string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) {
      converted += text[i + 1] == u'&' ? u"&" : u"_";
      if (text[i + 1] == u'&') ++i;
    } else if (text[i] == u'_') {
      converted += u"__";
    } else if (text[i] == u'\t') {
      break;
    } else {
      converted += text[i];
    }
  }
  return ToUtf8(converted);
}

HWND FindControl(HWND dialog, int id) {
  if (dialog == nullptr) return nullptr;
  for (HWND control : dialog->controls) {
    if (control->id == id) return control;
  }
  return nullptr;
}

}  // namespace gtk
}  // namespace framework
