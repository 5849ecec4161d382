#include "ui/framework/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/framework/resource_bytes.h"

namespace framework {

void PrintTo(const DialogItem& item, std::ostream* os) {
  *os << "{id 0x" << std::hex << item.id << ", style 0x" << item.style << ", ex style 0x"
      << item.ex_style << ", help " << item.help_id << std::dec << ", at " << item.x << ","
      << item.y << " size " << item.cx << "x" << item.cy << ", class "
      << testing::PrintToString(item.window_class) << ", text " << testing::PrintToString(item.text)
      << ", " << item.creation_data.size() << " creation bytes}";
}

}  // namespace framework

namespace {

using framework::DialogFont;
using framework::DialogItem;
using framework::DialogTemplate;
using framework::NameOrOrdinal;
using framework::ResourceError;
using resource_test::Bytes;
using resource_test::Hex;

constexpr std::uint32_t kStyleWithFont = 0x80C800C8;
constexpr std::uint32_t kStyleWithoutFont = 0x80C80080;

// The header fields up to and including cy.
Bytes HeaderStart(std::uint32_t style, std::uint16_t item_count) {
  return Bytes()
      .U16(1)
      .U16(0xFFFF)
      .U32(0x11)     // help ID
      .U32(0x40000)  // ex style
      .U32(style)
      .U16(item_count)
      .U16(0xFFFB)  // x = -5
      .U16(7)
      .U16(170)
      .U16(62);
}

// A dialog with a menu, its own class, a font and three items: an icon
// static, a custom control with creation data, and a button with no text.
// The header ends 2 bytes short of a multiple of 4 and the second item 3
// bytes short, so the items sit after padding.
Bytes FullTemplate() {
  Bytes t = HeaderStart(kStyleWithFont, 3);
  t.Ordinal(200).Str(u"MyDialogClass").Str(u"关于 Tessel");
  t.U16(9).U16(700).U8(1).U8(134).Str(u"MS Shell Dlg");
  t.Align(4);
  t.U32(0).U32(0x20).U32(0x50000003).U16(14).U16(14).U16(20).U16(20).U32(0xFFFFFFFF);
  t.Ordinal(0x82).Ordinal(128).U16(0);
  t.Align(4);
  t.U32(7).U32(0).U32(0x50010000).U16(0xFFFF).U16(2).U16(100).U16(12).U32(1000);
  t.Str(u"SysLink").Str(u"<a>x</a>").U16(3).U8(1).U8(2).U8(3);
  t.Align(4);
  t.U32(0).U32(0).U32(0x50010001).U16(113).U16(41).U16(50).U16(14).U32(1);
  t.Ordinal(0x80).Str(u"").U16(0);
  return t;
}

TEST(DialogTemplate, ReadsHeaderFontAndItems) {
  const Bytes bytes = FullTemplate();
  framework::Parsed<DialogTemplate> parsed = DialogTemplate::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(bytes);
  const DialogTemplate& dialog = *parsed;

  EXPECT_EQ(dialog.version, 1);
  EXPECT_EQ(dialog.signature, 0xFFFF);
  EXPECT_EQ(dialog.help_id, 0x11u);
  EXPECT_EQ(dialog.ex_style, 0x40000u);
  EXPECT_EQ(dialog.style, kStyleWithFont);
  EXPECT_EQ(dialog.x, -5);
  EXPECT_EQ(dialog.y, 7);
  EXPECT_EQ(dialog.cx, 170);
  EXPECT_EQ(dialog.cy, 62);
  EXPECT_EQ(dialog.menu, NameOrOrdinal(std::uint16_t{200}));
  EXPECT_EQ(dialog.window_class, NameOrOrdinal(u"MyDialogClass"));
  EXPECT_EQ(dialog.caption, u"关于 Tessel");
  ASSERT_TRUE(dialog.font.has_value());
  EXPECT_EQ(dialog.font->point_size, 9);
  EXPECT_EQ(dialog.font->weight, 700);
  EXPECT_TRUE(dialog.font->italic);
  EXPECT_EQ(dialog.font->charset, 134);
  EXPECT_EQ(dialog.font->face_name, u"MS Shell Dlg");

  const std::vector<DialogItem> expected = {
      {.help_id = 0,
       .ex_style = 0x20,
       .style = 0x50000003,
       .x = 14,
       .y = 14,
       .cx = 20,
       .cy = 20,
       .id = 0xFFFFFFFF,
       .window_class = std::uint16_t{0x82},
       .text = std::uint16_t{128},
       .creation_data = {}},
      {.help_id = 7,
       .ex_style = 0,
       .style = 0x50010000,
       .x = -1,
       .y = 2,
       .cx = 100,
       .cy = 12,
       .id = 1000,
       .window_class = u"SysLink",
       .text = u"<a>x</a>",
       .creation_data = {std::byte{1}, std::byte{2}, std::byte{3}}},
      {.help_id = 0,
       .ex_style = 0,
       .style = 0x50010001,
       .x = 113,
       .y = 41,
       .cx = 50,
       .cy = 14,
       .id = 1,
       .window_class = std::uint16_t{0x80},
       .text = u"",
       .creation_data = {}},
  };
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(dialog.items[i], expected[i]) << "item " << i;
  }
}

TEST(DialogTemplate, HasNoFontWithoutSetFont) {
  // Without DS_SETFONT the item follows the caption directly: bytes that
  // would be a font are the item.
  Bytes bytes = HeaderStart(kStyleWithoutFont, 1);
  bytes.U16(0).U16(0).Str(u"T").Align(4);
  bytes.U32(0).U32(0).U32(0x50000000).U16(1).U16(2).U16(3).U16(4).U32(5);
  bytes.Ordinal(0x81).Str(u"").U16(0);

  framework::Parsed<DialogTemplate> parsed = DialogTemplate::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(bytes);
  EXPECT_FALSE(parsed->font.has_value());
  EXPECT_EQ(parsed->menu, NameOrOrdinal(u""));
  EXPECT_EQ(parsed->window_class, NameOrOrdinal(u""));
  EXPECT_EQ(parsed->caption, u"T");
  ASSERT_EQ(parsed->items.size(), 1u);
  EXPECT_EQ(parsed->items[0].id, 5u);
  EXPECT_EQ(parsed->items[0].window_class, NameOrOrdinal(std::uint16_t{0x81}));
}

TEST(PredefinedControlClass, AcceptsOrdinalsAndNamesInAnyCase) {
  struct Case {
    NameOrOrdinal window_class;
    std::optional<std::uint16_t> expected;
  };
  const std::vector<Case> cases = {
      {std::uint16_t{0x80}, framework::kControlClassButton},
      {std::uint16_t{0x85}, framework::kControlClassComboBox},
      {std::uint16_t{0x7F}, std::nullopt},
      {std::uint16_t{0x86}, std::nullopt},
      {u"BUTTON", framework::kControlClassButton},
      {u"Edit", framework::kControlClassEdit},
      {u"static", framework::kControlClassStatic},
      {u"ListBox", framework::kControlClassListBox},
      {u"SCROLLBAR", framework::kControlClassScrollBar},
      {u"ComboBox", framework::kControlClassComboBox},
      {u"Buttons", std::nullopt},
      {u"SysLink", std::nullopt},
      {u"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(framework::PredefinedControlClass(c.window_class), c.expected)
        << testing::PrintToString(c.window_class);
  }
}

TEST(DialogTemplate, RejectsMalformedTemplates) {
  const Bytes full = FullTemplate();
  // Offsets into FullTemplate of the item count and of the second item's
  // 3 bytes of creation data.
  constexpr std::size_t kItemCountOffset = 16;
  constexpr std::size_t kCreationDataOffset = 208;
  ASSERT_EQ(full.span()[kItemCountOffset], std::byte{3}) << Hex(full);
  ASSERT_EQ(full.span()[kCreationDataOffset], std::byte{1}) << Hex(full);

  struct Case {
    const char* what;
    Bytes bytes;
    ResourceError expected;
  };
  const std::vector<Case> cases = {
      {"empty", Bytes(), ResourceError::kTruncated},
      {"old-style template", Bytes().U32(kStyleWithoutFont).U32(0).U16(0),
       ResourceError::kBadSignature},
      {"version 2", Bytes(full).SetU16(0, 2), ResourceError::kBadSignature},
      {"signature not 0xFFFF", Bytes(full).SetU16(2, 0), ResourceError::kBadSignature},
      {"ends inside the header", Bytes(full).Truncate(20), ResourceError::kTruncated},
      {"caption without its NUL", HeaderStart(kStyleWithoutFont, 0).U16(0).U16(0).Units(u"Tessel"),
       ResourceError::kUnterminatedString},
      {"more items than the data holds", Bytes(full).SetU16(kItemCountOffset, 4),
       ResourceError::kTruncated},
      {"creation data cut short", Bytes(full).Truncate(kCreationDataOffset + 2),
       ResourceError::kTruncated},
  };
  for (const Case& c : cases) {
    framework::Parsed<DialogTemplate> parsed = DialogTemplate::Parse(c.bytes);
    ASSERT_FALSE(parsed.ok()) << c.what << ":\n" << Hex(c.bytes);
    EXPECT_EQ(parsed.error(), c.expected) << c.what << ":\n" << Hex(c.bytes);
  }
}

}  // namespace
