// Dialogs built from their templates, and their modal runs.
//
// Each control of the template becomes a GTK widget at the template's place,
// with dialog units converted through the dialog font's base units as
// Windows does: x * baseX / 4, y * baseY / 8. "MS Shell Dlg" is the desktop's
// sans-serif font here; fontconfig supplies CJK glyphs where it lacks them.
#include <algorithm>
#include <optional>

#include "ui/framework/cdialog.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/dialog_template.h"
#include "ui/framework/gtk/window_system.h"

namespace framework {
namespace gtk {
namespace {

constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD BS_TYPEMASK = 0x0F;
constexpr DWORD BS_DEFPUSHBUTTON = 0x01;
constexpr DWORD BS_GROUPBOX = 0x07;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_CENTER = 0x01;
constexpr DWORD SS_RIGHT = 0x02;
constexpr DWORD SS_ICON = 0x03;
constexpr DWORD SS_NOPREFIX = 0x80;
constexpr UINT EN_CHANGE = 0x0300;
// A Win32 edit control takes this much text from the user unless told else.
constexpr std::size_t kEditTextLimit = 32767;

struct BaseUnits {
  int x;
  int y;
};

int Scale(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

// The family of the desktop's user-interface font.
std::string DesktopFontFamily() {
  gchar* name = nullptr;
  g_object_get(gtk_settings_get_default(), "gtk-font-name", &name, nullptr);
  PangoFontDescription* description = pango_font_description_from_string(name ? name : "Sans");
  const char* family = pango_font_description_get_family(description);
  std::string result = family ? family : "Sans";
  pango_font_description_free(description);
  g_free(name);
  return result;
}

// Average character width and line height of the dialog font, as Windows
// takes them: the width of the 52 letters divided by 52, rounded.
BaseUnits MeasureBaseUnits(GtkWidget* widget, const std::string& family, int points) {
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, family.c_str());
  pango_font_description_set_size(description, points * PANGO_SCALE);
  PangoLayout* layout = gtk_widget_create_pango_layout(
      widget, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  pango_layout_set_font_description(layout, description);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  pango_font_description_free(description);
  return {std::max(1, (width + 26) / 52), std::max(1, height)};
}

// Styles that let GTK's controls take the small sizes dialog templates give
// them, in the dialog font. Installed once for the screen.
void InstallStyles(const std::string& family, int points) {
  static bool installed = false;
  if (installed) return;
  installed = true;
  const std::string css =
      ".tessel-dialog .tessel-content, .tessel-dialog .tessel-content * { font-family: \"" +
      family + "\"; font-size: " + std::to_string(points) +
      "pt; }\n"
      ".tessel-dialog entry { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
      ".tessel-dialog .tessel-content button { min-height: 0; min-width: 0; padding: 0 4px; }\n"
      ".tessel-dialog entry.flat { background: transparent; border: none; box-shadow: none; }\n"
      ".tessel-dialog .tessel-titlebar { padding: 0 4px; min-height: 0; }\n";
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

std::u16string WithoutAccessKey(const std::u16string& text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

HWND HandleOf(gpointer widget) {
  return static_cast<HWND>(g_object_get_data(G_OBJECT(widget), "tessel-hwnd"));
}

void SendCommand(HWND control, UINT code) {
  const WPARAM wParam =
      (static_cast<WPARAM>(code) << 16) | (static_cast<WPARAM>(control->id) & 0xFFFF);
  Send(control->parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control));
}

// Enter outside a push button gives the default button's command: the
// template's default push button, visible or not, else IDOK.
void SendDefaultCommand(HWND dialog) {
  for (HWND control : dialog->controls) {
    if (control->kind == HWND__::Kind::kButton &&
        (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      SendCommand(control, BN_CLICKED);
      return;
    }
  }
  Send(dialog, WM_COMMAND, static_cast<WPARAM>(IDOK), 0);
}

void OnButtonClicked(GtkButton* button, gpointer) { SendCommand(HandleOf(button), BN_CLICKED); }

void OnEntryChanged(GtkEditable* editable, gpointer) {
  HWND control = HandleOf(editable);
  SendCommand(control, EN_UPDATE);
  SendCommand(control, EN_CHANGE);
}

void OnEntryActivate(GtkEntry* entry, gpointer) { SendDefaultCommand(HandleOf(entry)->parent); }

// Keeps the text within kEditTextLimit UTF-16 code units, as a Win32 edit
// control does, cutting an over-long insertion (typing or pasting) short.
void OnEntryInsertText(GtkEditable* editable, const gchar* text, gint length, gint* position,
                       gpointer data) {
  const std::size_t have = FromUtf8(gtk_entry_get_text(GTK_ENTRY(editable))).size();
  const std::string inserted = length < 0 ? std::string(text) : std::string(text, length);
  std::u16string incoming = FromUtf8(inserted.c_str());
  const std::size_t room = have < kEditTextLimit ? kEditTextLimit - have : 0;
  if (incoming.size() <= room) return;
  incoming.resize(room);
  // Never keep half of a surrogate pair.
  if (!incoming.empty() && incoming.back() >= 0xD800 && incoming.back() <= 0xDBFF) {
    incoming.pop_back();
  }
  g_signal_stop_emission_by_name(editable, "insert-text");
  if (incoming.empty()) return;
  g_signal_handlers_block_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsertText), data);
  gtk_editable_insert_text(editable, ToUtf8(incoming).c_str(), -1, position);
  g_signal_handlers_unblock_by_func(editable, reinterpret_cast<gpointer>(OnEntryInsertText), data);
}

gboolean OnDeleteEvent(GtkWidget* window, GdkEvent*, gpointer) {
  // The close box: the system Close command, whose default ends the dialog.
  Send(HandleOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
  return TRUE;
}

gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer) {
  HWND dialog = HandleOf(window);
  const GdkModifierType modifiers =
      static_cast<GdkModifierType>(event->state & gtk_accelerator_get_default_mod_mask());
  if (event->keyval == GDK_KEY_Escape && modifiers == 0) {
    HWND cancel = FindControl(dialog, IDCANCEL);
    Send(dialog, WM_COMMAND, static_cast<WPARAM>(IDCANCEL), reinterpret_cast<LPARAM>(cancel));
    return TRUE;
  }
  if (event->keyval == GDK_KEY_F4 && modifiers == GDK_MOD1_MASK) {
    Send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
  }
  if (event->keyval == GDK_KEY_space && modifiers == GDK_MOD1_MASK) {
    Send(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    return TRUE;
  }
  return FALSE;
}

gboolean OnTitleBarPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  HWND dialog = static_cast<HWND>(data);
  if (event->type != GDK_BUTTON_PRESS) return TRUE;
  if (event->button == GDK_BUTTON_SECONDARY) {
    PopUpSystemMenu(dialog, reinterpret_cast<GdkEvent*>(event));
  } else if (event->button == GDK_BUTTON_PRIMARY) {
    gtk_window_begin_move_drag(GTK_WINDOW(dialog->widget), static_cast<gint>(event->button),
                               static_cast<gint>(event->x_root), static_cast<gint>(event->y_root),
                               event->time);
  }
  return TRUE;
}

gboolean OnTitleIconPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
    PopUpSystemMenu(static_cast<HWND>(data), nullptr);
    return TRUE;
  }
  return FALSE;
}

void OnCloseBoxClicked(GtkButton*, gpointer data) {
  Send(static_cast<HWND>(data), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// A title bar drawn by the program: the window's icon, which opens the
// system menu, the caption, and a close box. Windows draws no minimise or
// maximise box for these dialogs, so there are none.
void AddTitleBar(HWND dialog, const std::string& caption) {
  GtkWidget* bar = gtk_header_bar_new();
  gtk_header_bar_set_title(GTK_HEADER_BAR(bar), caption.c_str());
  gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(bar), FALSE);
  gtk_style_context_add_class(gtk_widget_get_style_context(bar), "tessel-titlebar");

  GtkWidget* iconBox = gtk_event_box_new();
  dialog->titleIcon = gtk_image_new();
  gtk_container_add(GTK_CONTAINER(iconBox), dialog->titleIcon);
  g_signal_connect(iconBox, "button-press-event", G_CALLBACK(OnTitleIconPress), dialog);
  gtk_header_bar_pack_start(GTK_HEADER_BAR(bar), iconBox);

  GtkWidget* close = gtk_button_new_from_icon_name("window-close-symbolic", GTK_ICON_SIZE_MENU);
  gtk_widget_set_can_focus(close, FALSE);
  gtk_style_context_add_class(gtk_widget_get_style_context(close), "titlebutton");
  gtk_style_context_add_class(gtk_widget_get_style_context(close), "close");
  atk_object_set_name(gtk_widget_get_accessible(close), "Close");
  g_signal_connect(close, "clicked", G_CALLBACK(OnCloseBoxClicked), dialog);
  gtk_header_bar_pack_end(GTK_HEADER_BAR(bar), close);

  GtkWidget* frame = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(frame), bar);
  g_signal_connect(frame, "button-press-event", G_CALLBACK(OnTitleBarPress), dialog);
  gtk_window_set_titlebar(GTK_WINDOW(dialog->widget), frame);
}

struct Rect {
  int x, y, cx, cy;
};

// What a screen reader says for an edit control: the static label just
// above it or on its left, else the caption of the group box around it.
std::u16string AccessibleNameFor(const DialogItem& edit, const std::vector<DialogItem>& items) {
  auto textOf = [](const DialogItem& item) {
    const auto* text = std::get_if<std::u16string>(&item.text);
    return text ? WithoutAccessKey(*text) : std::u16string();
  };
  for (const DialogItem& item : items) {
    if (PredefinedControlClass(item.window_class) != kControlClassStatic) continue;
    if ((item.style & SS_TYPEMASK) == SS_ICON || textOf(item).empty()) continue;
    const bool above = item.y + item.cy <= edit.y && edit.y - (item.y + item.cy) <= 8 &&
                       item.x < edit.x + edit.cx && edit.x < item.x + item.cx;
    const bool left = item.x + item.cx <= edit.x && edit.x - (item.x + item.cx) <= 8 &&
                      item.y < edit.y + edit.cy && edit.y < item.y + item.cy;
    if (above || left) return textOf(item);
  }
  for (const DialogItem& item : items) {
    if (PredefinedControlClass(item.window_class) != kControlClassButton ||
        (item.style & BS_TYPEMASK) != BS_GROUPBOX) {
      continue;
    }
    if (item.x <= edit.x && item.y <= edit.y && edit.x + edit.cx <= item.x + item.cx &&
        edit.y + edit.cy <= item.y + item.cy) {
      return textOf(item);
    }
  }
  return {};
}

GtkWidget* MakeControl(HWND control, const DialogItem& item, const std::vector<DialogItem>& items,
                       int iconPixels) {
  const auto text = std::get_if<std::u16string>(&item.text);
  const std::u16string label = text ? *text : std::u16string();
  const DWORD style = item.style;
  switch (PredefinedControlClass(item.window_class).value_or(0)) {
    case kControlClassButton:
      if ((style & BS_TYPEMASK) == BS_GROUPBOX) {
        control->kind = HWND__::Kind::kGroupBox;
        GtkWidget* frame = gtk_frame_new(nullptr);
        GtkWidget* caption = gtk_label_new(nullptr);
        gtk_label_set_text_with_mnemonic(GTK_LABEL(caption), MnemonicText(label).c_str());
        gtk_frame_set_label_widget(GTK_FRAME(frame), caption);
        return frame;
      } else {
        control->kind = HWND__::Kind::kButton;
        GtkWidget* button = gtk_button_new_with_mnemonic(MnemonicText(label).c_str());
        gtk_widget_set_can_focus(button, (style & WS_TABSTOP) != 0);
        g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), nullptr);
        return button;
      }
    case kControlClassEdit: {
      control->kind = HWND__::Kind::kEdit;
      GtkWidget* entry = gtk_entry_new();
      gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
      gtk_entry_set_has_frame(GTK_ENTRY(entry), (style & WS_BORDER) != 0);
      gtk_editable_set_editable(GTK_EDITABLE(entry), (style & ES_READONLY) == 0);
      if (style & ES_CENTER) gtk_entry_set_alignment(GTK_ENTRY(entry), 0.5f);
      if (style & ES_RIGHT) gtk_entry_set_alignment(GTK_ENTRY(entry), 1.0f);
      gtk_entry_set_text(GTK_ENTRY(entry), ToUtf8(label).c_str());
      const std::u16string name = AccessibleNameFor(item, items);
      if (!name.empty()) {
        std::u16string spoken = name;
        while (!spoken.empty() && spoken.back() == u':') spoken.pop_back();
        atk_object_set_name(gtk_widget_get_accessible(entry), ToUtf8(spoken).c_str());
      }
      g_signal_connect(entry, "insert-text", G_CALLBACK(OnEntryInsertText), nullptr);
      g_signal_connect(entry, "changed", G_CALLBACK(OnEntryChanged), nullptr);
      g_signal_connect(entry, "activate", G_CALLBACK(OnEntryActivate), nullptr);
      return entry;
    }
    case kControlClassStatic:
    default:
      if ((style & SS_TYPEMASK) == SS_ICON) {
        control->kind = HWND__::Kind::kIcon;
        GtkWidget* image = gtk_image_new();
        const auto ordinal = OrdinalOf(item.text);
        HICON icon = ordinal ? AfxGetApp()->LoadIconW(*ordinal) : nullptr;
        if (GdkPixbuf* best = PickImage(icon, iconPixels)) {
          cairo_surface_t* surface = IconSurface(best, 32, image);
          gtk_image_set_from_surface(GTK_IMAGE(image), surface);
          cairo_surface_destroy(surface);
        }
        gtk_widget_set_halign(image, GTK_ALIGN_START);
        gtk_widget_set_valign(image, GTK_ALIGN_START);
        return image;
      } else {
        control->kind = HWND__::Kind::kStatic;
        GtkWidget* widget = gtk_label_new(nullptr);
        if (style & SS_NOPREFIX) {
          gtk_label_set_text(GTK_LABEL(widget), ToUtf8(label).c_str());
        } else {
          gtk_label_set_text_with_mnemonic(GTK_LABEL(widget), MnemonicText(label).c_str());
        }
        const DWORD align = style & SS_TYPEMASK;
        gtk_label_set_xalign(GTK_LABEL(widget), align == SS_CENTER  ? 0.5f
                                                : align == SS_RIGHT ? 1.0f
                                                                    : 0.0f);
        gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
        return widget;
      }
  }
}

}  // namespace

// Builds dialog `templateId`, hidden, with its controls. Null if the
// resources hold no readable template of that ID.
HWND CreateDialogWindow(UINT templateId) {
  const ResourceEntry* resource = Resources().Find(
      kResourceTypeDialog, static_cast<std::uint16_t>(templateId), kResourceLanguage);
  if (resource == nullptr) {
    g_printerr("tessel: dialog %u is missing from the resources\n", templateId);
    return nullptr;
  }
  auto parsed = DialogTemplate::Parse(resource->data);
  if (!parsed) {
    g_printerr("tessel: dialog %u cannot be read (%s)\n", templateId,
               std::string(Describe(parsed.error())).c_str());
    return nullptr;
  }
  const DialogTemplate& dialogTemplate = *parsed;

  auto* dialog = new HWND__;
  dialog->kind = HWND__::Kind::kDialog;
  dialog->style = dialogTemplate.style;
  dialog->widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_set_data(G_OBJECT(dialog->widget), "tessel-hwnd", dialog);
  GtkWindow* window = GTK_WINDOW(dialog->widget);
  gtk_style_context_add_class(gtk_widget_get_style_context(dialog->widget), "tessel-dialog");
  const std::string caption = ToUtf8(dialogTemplate.caption);
  gtk_window_set_title(window, caption.c_str());
  gtk_window_set_resizable(window, (dialogTemplate.style & WS_THICKFRAME) != 0);
  AddTitleBar(dialog, caption);
  ResetSystemMenu(dialog);

  const std::string family = DesktopFontFamily();
  const int points = dialogTemplate.font ? dialogTemplate.font->point_size : 9;
  InstallStyles(family, points);
  const BaseUnits base = MeasureBaseUnits(dialog->widget, family, points);

  dialog->content = gtk_fixed_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(dialog->content), "tessel-content");
  gtk_widget_set_size_request(dialog->content, Scale(dialogTemplate.cx, base.x, 4),
                              Scale(dialogTemplate.cy, base.y, 8));
  gtk_container_add(GTK_CONTAINER(window), dialog->content);

  GList* focusChain = nullptr;
  const int iconPixels = 32 * gtk_widget_get_scale_factor(dialog->widget);
  for (const DialogItem& item : dialogTemplate.items) {
    auto* control = new HWND__;
    control->parent = dialog;
    control->id = static_cast<int>(item.id);
    control->style = item.style;
    control->widget = MakeControl(control, item, dialogTemplate.items, iconPixels);
    g_object_set_data(G_OBJECT(control->widget), "tessel-hwnd", control);
    // Assistive tools and tests can find a control by its ID.
    if (item.id != 0xFFFFFFFF) {
      atk_object_set_accessible_id(gtk_widget_get_accessible(control->widget),
                                   std::to_string(item.id).c_str());
    }
    gtk_fixed_put(GTK_FIXED(dialog->content), control->widget, Scale(item.x, base.x, 4),
                  Scale(item.y, base.y, 8));
    if (control->kind != HWND__::Kind::kIcon) {
      gtk_widget_set_size_request(control->widget, Scale(item.cx, base.x, 4),
                                  Scale(item.cy, base.y, 8));
    }
    gtk_widget_set_sensitive(control->widget, (item.style & WS_DISABLED) == 0);
    if (item.style & WS_VISIBLE) {
      gtk_widget_show_all(control->widget);
    } else {
      gtk_widget_set_no_show_all(control->widget, TRUE);
    }
    if (item.style & WS_TABSTOP) focusChain = g_list_append(focusChain, control->widget);
    dialog->controls.push_back(control);
  }
  // Tab follows the template's order, as the dialog manager's does.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(dialog->content), focusChain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(focusChain);

  g_signal_connect(dialog->widget, "delete-event", G_CALLBACK(OnDeleteEvent), nullptr);
  g_signal_connect(dialog->widget, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
  gtk_widget_show(dialog->content);
  gtk_widget_show_all(gtk_window_get_titlebar(window));
  return dialog;
}

void DestroyDialogWindow(HWND dialog) {
  gtk_widget_destroy(dialog->widget);
  for (HWND control : dialog->controls) delete control;
  delete dialog;
}

}  // namespace gtk

INT_PTR CDialog::DoModal() {
  HWND owner = OwnerForModalRun();
  HWND dialog = gtk::CreateDialogWindow(templateId());
  if (dialog == nullptr) return -1;
  dialog->owner = this;
  m_hWnd = dialog;
  GtkWindow* window = GTK_WINDOW(dialog->widget);
  if (owner != nullptr) {
    gtk_window_set_transient_for(window, GTK_WINDOW(owner->widget));
    // The owner takes no input while the dialog runs.
    gtk_window_set_modal(window, TRUE);
    ++owner->disabledBy;
  }
  gtk_window_set_position(window, owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);

  if (OnInitDialog()) {
    // The first visible, enabled tab stop takes the focus.
    for (HWND control : dialog->controls) {
      if ((control->style & 0x10010000) == 0x10010000 &&
          gtk_widget_get_sensitive(control->widget)) {
        gtk_widget_grab_focus(control->widget);
        break;
      }
    }
  }
  gtk_widget_show(dialog->widget);
  gtk_window_present(window);

  dialog->modalLoop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(dialog->modalLoop);
  g_main_loop_unref(dialog->modalLoop);
  dialog->modalLoop = nullptr;
  const INT_PTR result = dialog->modalResult;

  if (owner != nullptr) {
    --owner->disabledBy;
    gtk_window_present(GTK_WINDOW(owner->widget));
  }
  m_hWnd = nullptr;
  gtk::DestroyDialogWindow(dialog);
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_hWnd == nullptr || m_hWnd->modalLoop == nullptr) return;
  m_hWnd->modalResult = result;
  gtk_widget_hide(m_hWnd->widget);
  g_main_loop_quit(m_hWnd->modalLoop);
}

}  // namespace framework
