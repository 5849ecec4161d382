// Feeds arbitrary bytes to the dialog template reader. A template it accepts
// must agree with the header it came from, hold no string with a NUL inside,
// and read back the same after being written out again in the layout the
// resource compiler uses. Built with clang's libFuzzer, AddressSanitizer and
// UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "ui/framework/dialog_template.h"

namespace {

using framework::DialogItem;
using framework::DialogTemplate;
using framework::NameOrOrdinal;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "dialog template invariant broken: %s\n", what);
  std::abort();
}

// Header fields the checks read straight from the input.
constexpr std::size_t kStyleOffset = 12;
constexpr std::size_t kItemCountOffset = 16;
// An item's fixed fields, then the shortest class, text and extraCount.
constexpr std::size_t kSmallestItem = 24 + 2 + 2 + 2;

std::uint32_t InputU32(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i > 0; --i) {
    value = value << 8 | std::to_integer<std::uint32_t>(bytes[offset + i - 1]);
  }
  return value;
}

std::uint16_t InputU16(std::span<const std::byte> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[offset]) |
                                    std::to_integer<unsigned>(bytes[offset + 1]) << 8);
}

bool IsPlainString(const std::u16string& text) { return text.find(u'\0') == std::u16string::npos; }

// A string field must stop at its NUL and, since 0xFFFF first marks an
// ordinal, cannot start with 0xFFFF.
bool IsValidField(const NameOrOrdinal& field) {
  const std::u16string* text = std::get_if<std::u16string>(&field);
  return text == nullptr || (IsPlainString(*text) && (text->empty() || text->front() != 0xFFFF));
}

// Writes templates back out, little-endian, padding with zeros.
class Writer {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(std::byte{value}); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  void String(const std::u16string& text) {
    for (char16_t unit : text) {
      U16(unit);
    }
    U16(0);
  }
  void Field(const NameOrOrdinal& field) {
    if (const std::uint16_t* ordinal = std::get_if<std::uint16_t>(&field)) {
      U16(0xFFFF);
      U16(*ordinal);
    } else {
      String(std::get<std::u16string>(field));
    }
  }
  void Align4() {
    while (bytes_.size() % 4 != 0) {
      U8(0);
    }
  }
  const std::vector<std::byte>& bytes() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
};

std::vector<std::byte> Write(const DialogTemplate& dialog) {
  Writer out;
  out.U16(dialog.version);
  out.U16(dialog.signature);
  out.U32(dialog.help_id);
  out.U32(dialog.ex_style);
  out.U32(dialog.style);
  out.U16(static_cast<std::uint16_t>(dialog.items.size()));
  for (std::int16_t value : {dialog.x, dialog.y, dialog.cx, dialog.cy}) {
    out.U16(static_cast<std::uint16_t>(value));
  }
  out.Field(dialog.menu);
  out.Field(dialog.window_class);
  out.String(dialog.caption);
  if (dialog.font) {
    out.U16(dialog.font->point_size);
    out.U16(dialog.font->weight);
    out.U8(dialog.font->italic ? 1 : 0);
    out.U8(dialog.font->charset);
    out.String(dialog.font->face_name);
  }
  for (const DialogItem& item : dialog.items) {
    out.Align4();
    out.U32(item.help_id);
    out.U32(item.ex_style);
    out.U32(item.style);
    for (std::int16_t value : {item.x, item.y, item.cx, item.cy}) {
      out.U16(static_cast<std::uint16_t>(value));
    }
    out.U32(item.id);
    out.Field(item.window_class);
    out.Field(item.text);
    out.U16(static_cast<std::uint16_t>(item.creation_data.size()));
    for (std::byte byte : item.creation_data) {
      out.U8(std::to_integer<std::uint8_t>(byte));
    }
  }
  return out.bytes();
}

bool SameTemplate(const DialogTemplate& a, const DialogTemplate& b) {
  return a.version == b.version && a.signature == b.signature && a.help_id == b.help_id &&
         a.ex_style == b.ex_style && a.style == b.style && a.x == b.x && a.y == b.y &&
         a.cx == b.cx && a.cy == b.cy && a.menu == b.menu && a.window_class == b.window_class &&
         a.caption == b.caption && a.font == b.font && a.items == b.items;
}

void Check(const DialogTemplate& dialog, std::span<const std::byte> bytes) {
  if (dialog.version != 1 || dialog.signature != 0xFFFF) {
    Fail("accepted a template without the extended signature");
  }
  // Reading the header through the item count succeeded, so those bytes are there.
  if (dialog.style != InputU32(bytes, kStyleOffset)) {
    Fail("style differs from the header");
  }
  if (dialog.items.size() != InputU16(bytes, kItemCountOffset)) {
    Fail("item count differs from the header");
  }
  if (dialog.font.has_value() != ((dialog.style & framework::kDialogStyleSetFont) != 0)) {
    Fail("font present without DS_SETFONT or missing with it");
  }
  if (!IsValidField(dialog.menu) || !IsValidField(dialog.window_class) ||
      !IsPlainString(dialog.caption) || (dialog.font && !IsPlainString(dialog.font->face_name))) {
    Fail("a header string holds a NUL or an ordinal marker");
  }
  std::size_t least_bytes = 0;
  for (const DialogItem& item : dialog.items) {
    if (!IsValidField(item.window_class) || !IsValidField(item.text)) {
      Fail("an item string holds a NUL or an ordinal marker");
    }
    if (const std::optional<std::uint16_t> ordinal =
            framework::PredefinedControlClass(item.window_class)) {
      if (*ordinal < framework::kControlClassButton ||
          *ordinal > framework::kControlClassComboBox) {
        Fail("PredefinedControlClass names no predefined class");
      }
    }
    least_bytes += kSmallestItem + item.creation_data.size();
  }
  if (least_bytes > bytes.size()) {
    Fail("more items or creation data than the input can hold");
  }

  // Written out again with zero padding, the template is no longer than the
  // input (which may pad with anything, but no less) and reads back the same.
  const std::vector<std::byte> written = Write(dialog);
  if (written.size() > bytes.size()) {
    Fail("the template written out is longer than the input");
  }
  const framework::Parsed<DialogTemplate> reread = DialogTemplate::Parse(written);
  if (!reread) {
    std::fprintf(stderr, "reading back failed: %s\n",
                 std::string(framework::Describe(reread.error())).c_str());
    Fail("the template written out does not read back");
  }
  if (!SameTemplate(dialog, *reread)) {
    Fail("the template written out reads back differently");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const framework::Parsed<DialogTemplate> dialog = DialogTemplate::Parse(bytes);
  if (dialog) {
    Check(*dialog, bytes);
  }
  return 0;
}
