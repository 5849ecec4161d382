// Every text of both dialogs, and the system-menu item, can be drawn with the
// fonts of this machine: Pango finds a glyph for each character in the font
// the dialogs use ("Sans", the desktop's default, with fontconfig's fallback
// for the Chinese texts). A missing CJK font shows here as unknown glyphs.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <string>
#include <vector>

#include "tests/framework/resource_bytes.h"
#include "ui/framework/dialog_template.h"
#include "ui/framework/resource_file.h"

namespace {

using namespace framework;

std::string Utf8(const std::u16string& text) {
  gchar* converted = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()),
                                     static_cast<glong>(text.size()), nullptr, nullptr, nullptr);
  std::string out = converted ? converted : "";
  g_free(converted);
  return out;
}

std::vector<std::string> TextsOfTheWindows(const ResourceFile& resources) {
  std::vector<std::string> texts;
  for (std::uint16_t dialog : {100, 102}) {
    const ResourceEntry* entry = resources.Find(kResourceTypeDialog, dialog, 0x0804);
    if (entry == nullptr) continue;
    auto parsed = DialogTemplate::Parse(entry->data);
    if (!parsed) continue;
    texts.push_back(Utf8(parsed->caption));
    for (const DialogItem& item : parsed->items) {
      if (const auto* text = std::get_if<std::u16string>(&item.text); text && !text->empty())
        texts.push_back(Utf8(*text));
    }
  }
  texts.push_back(Utf8(resources.FindString(101, 0x0804)));
  return texts;
}

TEST(Glyphs, EveryTextOfTheWindowsHasItsGlyphs) {
  const std::vector<std::byte> bytes = ReadFileBytes(TESSEL_RES_FILE);
  auto resources = ResourceFile::Parse(bytes);
  ASSERT_TRUE(resources);
  const std::vector<std::string> texts = TextsOfTheWindows(*resources);
  ASSERT_GE(texts.size(), 12u);

  PangoFontMap* fonts = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(fonts);
  PangoFontDescription* font = pango_font_description_from_string("Sans 9");
  for (const std::string& text : texts) {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text.c_str(), -1);
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << "text \"" << text << "\"";
    g_object_unref(layout);
  }
  pango_font_description_free(font);
  g_object_unref(context);
}

}  // namespace
