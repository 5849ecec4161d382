#include "ui/framework/dialog_template.h"

#include <string_view>
#include <utility>

namespace framework {
namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;

struct ClassName {
  std::u16string_view name;
  std::uint16_t ordinal;
};

constexpr ClassName kPredefinedClasses[] = {
    {u"button", kControlClassButton},       {u"edit", kControlClassEdit},
    {u"static", kControlClassStatic},       {u"listbox", kControlClassListBox},
    {u"scrollbar", kControlClassScrollBar}, {u"combobox", kControlClassComboBox},
};

// Compares `text` with `lower`, which is all lowercase ASCII, ignoring the
// case of ASCII letters in `text`.
bool EqualsLowercase(std::u16string_view text, std::u16string_view lower) {
  if (text.size() != lower.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit >= u'A' && unit <= u'Z') {
      unit = static_cast<char16_t>(unit - u'A' + u'a');
    }
    if (unit != lower[i]) {
      return false;
    }
  }
  return true;
}

DialogItem ReadItem(BinaryReader& reader) {
  DialogItem item;
  item.help_id = reader.ReadU32();
  item.ex_style = reader.ReadU32();
  item.style = reader.ReadU32();
  item.x = reader.ReadI16();
  item.y = reader.ReadI16();
  item.cx = reader.ReadI16();
  item.cy = reader.ReadI16();
  item.id = reader.ReadU32();
  item.window_class = reader.ReadNameOrOrdinal();
  item.text = reader.ReadNameOrOrdinal();
  const std::uint16_t extra_count = reader.ReadU16();
  std::span<const std::byte> extra = reader.ReadBytes(extra_count);
  item.creation_data.assign(extra.begin(), extra.end());
  return item;
}

}  // namespace

std::optional<std::uint16_t> PredefinedControlClass(const NameOrOrdinal& window_class) {
  if (const std::optional<std::uint16_t> ordinal = OrdinalOf(window_class)) {
    if (*ordinal >= kControlClassButton && *ordinal <= kControlClassComboBox) {
      return ordinal;
    }
    return std::nullopt;
  }
  const std::u16string& name = std::get<std::u16string>(window_class);
  for (const ClassName& predefined : kPredefinedClasses) {
    if (EqualsLowercase(name, predefined.name)) {
      return predefined.ordinal;
    }
  }
  return std::nullopt;
}

Parsed<DialogTemplate> DialogTemplate::Parse(std::span<const std::byte> bytes) {
  BinaryReader reader(bytes);
  DialogTemplate dialog;
  dialog.version = reader.ReadU16();
  dialog.signature = reader.ReadU16();
  if (!reader.ok()) {
    return reader.error();
  }
  if (dialog.version != kExtendedVersion || dialog.signature != kExtendedSignature) {
    return ResourceError::kBadSignature;
  }
  dialog.help_id = reader.ReadU32();
  dialog.ex_style = reader.ReadU32();
  dialog.style = reader.ReadU32();
  const std::uint16_t item_count = reader.ReadU16();
  dialog.x = reader.ReadI16();
  dialog.y = reader.ReadI16();
  dialog.cx = reader.ReadI16();
  dialog.cy = reader.ReadI16();
  dialog.menu = reader.ReadNameOrOrdinal();
  dialog.window_class = reader.ReadNameOrOrdinal();
  dialog.caption = reader.ReadString();
  if ((dialog.style & kDialogStyleSetFont) != 0) {
    DialogFont font;
    font.point_size = reader.ReadU16();
    font.weight = reader.ReadU16();
    font.italic = reader.ReadU8() != 0;
    font.charset = reader.ReadU8();
    font.face_name = reader.ReadString();
    dialog.font = std::move(font);
  }

  // Stop at the first failure: the reader returns zeros from then on, and a
  // count of up to 65535 empty items is no use to anyone.
  for (std::uint16_t i = 0; i < item_count && reader.ok(); ++i) {
    reader.AlignTo(4);
    dialog.items.push_back(ReadItem(reader));
  }
  if (!reader.ok()) {
    return reader.error();
  }
  return dialog;
}

}  // namespace framework
