// Reads an extended dialog template, the data of a kResourceTypeDialog
// resource written from a DIALOGEX statement, into plain structs that a
// window backend lays out and creates controls from.
//
// The template is a header and then one item per control, each item starting
// at a multiple of 4 from the template's start:
//
//   header  dlgVer (1), signature (0xFFFF), helpID, exStyle, style,
//           cDlgItems, x, y, cx, cy, menu, windowClass, title; then, when
//           style has DS_SETFONT, pointsize, weight, italic, charset and
//           typeface
//   item    helpID, exStyle, style, x, y, cx, cy, id (32-bit),
//           windowClass, title, extraCount, and extraCount creation bytes
//
// menu, windowClass and the item's title are string-or-ordinal fields; the
// dialog's title and typeface are plain NUL-terminated UTF-16 strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/framework/binary_reader.h"

namespace framework {

// The dialog style bit that says the header carries a font. DS_SHELLFONT
// includes it.
inline constexpr std::uint32_t kDialogStyleSetFont = 0x40;

// Ordinals of the predefined control classes an item's window class may name.
inline constexpr std::uint16_t kControlClassButton = 0x80;
inline constexpr std::uint16_t kControlClassEdit = 0x81;
inline constexpr std::uint16_t kControlClassStatic = 0x82;
inline constexpr std::uint16_t kControlClassListBox = 0x83;
inline constexpr std::uint16_t kControlClassScrollBar = 0x84;
inline constexpr std::uint16_t kControlClassComboBox = 0x85;

// Returns the kControlClass* ordinal of the predefined control class that
// `window_class` names: the ordinal itself when it is one of 0x80 to 0x85,
// or that of "Button", "Edit", "Static", "ListBox", "ScrollBar" or
// "ComboBox" written as a name in any ASCII case. The window system creates
// the same control for either form, and resource compilers differ in which
// they write for a CONTROL statement (GNU windres writes "BUTTON"). Returns
// nothing for any other class.
std::optional<std::uint16_t> PredefinedControlClass(const NameOrOrdinal& window_class);

// The font the dialog's text is drawn in, sizes in points.
struct DialogFont {
  std::uint16_t point_size = 0;
  std::uint16_t weight = 0;  // 0 means the default; 400 normal, 700 bold
  bool italic = false;
  std::uint8_t charset = 0;
  std::u16string face_name;

  bool operator==(const DialogFont&) const = default;
};

// One control of a dialog. Coordinates and sizes are in dialog units.
struct DialogItem {
  std::uint32_t help_id = 0;
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  std::uint32_t id = 0;  // a control written with ID -1 reads 0xFFFFFFFF
  // A kControlClass* ordinal or the name of a registered class.
  NameOrOrdinal window_class;
  // The control's text, or an ordinal such as the icon resource a static
  // icon control shows.
  NameOrOrdinal text;
  std::vector<std::byte> creation_data;

  bool operator==(const DialogItem&) const = default;
};

// A whole extended dialog template. Coordinates and sizes are in dialog
// units.
struct DialogTemplate {
  std::uint16_t version = 0;    // always 1
  std::uint16_t signature = 0;  // always 0xFFFF
  std::uint32_t help_id = 0;
  std::uint32_t ex_style = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  // An empty string when the dialog has no menu.
  NameOrOrdinal menu;
  // An empty string for the standard dialog class.
  NameOrOrdinal window_class;
  std::u16string caption;
  // Present exactly when `style` has kDialogStyleSetFont.
  std::optional<DialogFont> font;
  std::vector<DialogItem> items;

  // Reads the template in `bytes`, the data of a dialog resource.
  //
  // Returns the template, or why it cannot be read: kBadSignature unless it
  // starts with version 1 and signature 0xFFFF (an old-style DIALOG
  // template, for one, does not); kTruncated when the bytes end inside a
  // field, including when there are fewer items than the header counts or
  // an item's creation data is cut short; kUnterminatedString when a string
  // runs to the end. Bytes after the last item are ignored.
  static Parsed<DialogTemplate> Parse(std::span<const std::byte> bytes);
};

}  // namespace framework
