// Checks Tessel's own compiled resources (res/tessel.rc as the resource
// compiler wrote it) through the readers the program uses: the resource
// set, both dialogs control by control, the menu string, the icon
// directory, the version block and the manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "tests/framework/resource_bytes.h"
#include "ui/framework/dialog_template.h"
#include "ui/framework/icon_group.h"
#include "ui/framework/resource_file.h"
#include "ui/framework/version_info.h"

namespace {

using framework::DialogItem;
using framework::DialogTemplate;
using framework::IconGroup;
using framework::NameOrOrdinal;
using framework::ResourceEntry;
using framework::ResourceFile;
using framework::VersionInfo;

constexpr std::uint16_t kChinese = 0x0804;
constexpr std::uint16_t kEnglish = 0x0409;

constexpr std::uint16_t kMainDialog = 102;
constexpr std::uint16_t kAboutDialog = 100;
constexpr std::uint16_t kAppIcon = 128;
constexpr std::uint16_t kAboutMenuString = 101;

// Reads the compiled .res file once for all tests; the views the readers
// hand out point into it.
class CompiledResources : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    bytes_ = new std::vector<std::byte>(framework::ReadFileBytes(TESSEL_RES_FILE));
    ASSERT_FALSE(bytes_->empty()) << "cannot read " << TESSEL_RES_FILE;
    framework::Parsed<ResourceFile> parsed = ResourceFile::Parse(*bytes_);
    ASSERT_TRUE(parsed.ok()) << TESSEL_RES_FILE << ": " << Describe(parsed.error());
    file_ = new ResourceFile(*parsed);
  }

  static void TearDownTestSuite() {
    delete file_;
    delete bytes_;
  }

  void SetUp() override { ASSERT_NE(file_, nullptr) << "the resource file did not load"; }

  // Returns the data of the resource in exactly `language`, failing the
  // test when it is missing.
  static std::span<const std::byte> Data(std::uint16_t type, std::uint16_t id,
                                         std::uint16_t language) {
    const ResourceEntry* entry = file_->FindExact(type, id, language);
    EXPECT_NE(entry, nullptr) << "no resource type " << type << " id " << id << " language 0x"
                              << std::hex << language;
    return entry != nullptr ? entry->data : std::span<const std::byte>();
  }

  static std::vector<std::byte>* bytes_;
  static ResourceFile* file_;
};

std::vector<std::byte>* CompiledResources::bytes_ = nullptr;
ResourceFile* CompiledResources::file_ = nullptr;

TEST_F(CompiledResources, HoldExactlyTheExpectedResources) {
  using Key = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;  // type, id, language
  std::vector<Key> expected;
  for (std::uint16_t id = 1; id <= 13; ++id) {
    expected.emplace_back(framework::kResourceTypeIcon, id, kChinese);
  }
  expected.emplace_back(framework::kResourceTypeGroupIcon, kAppIcon, kChinese);
  expected.emplace_back(framework::kResourceTypeDialog, kAboutDialog, kChinese);
  expected.emplace_back(framework::kResourceTypeDialog, kMainDialog, kChinese);
  expected.emplace_back(framework::kResourceTypeString, kAboutMenuString / 16 + 1, kChinese);
  expected.emplace_back(framework::kResourceTypeVersion, 1, kChinese);
  expected.emplace_back(framework::kResourceTypeManifest, 1, kEnglish);

  std::vector<Key> actual;
  std::string named;
  for (const ResourceEntry& entry : file_->entries()) {
    const std::optional<std::uint16_t> type = framework::OrdinalOf(entry.type);
    const std::optional<std::uint16_t> id = framework::OrdinalOf(entry.name);
    if (!type || !id) {
      named += " " + testing::PrintToString(entry.type) + "/" + testing::PrintToString(entry.name);
      continue;
    }
    actual.emplace_back(*type, *id, entry.language);
  }
  EXPECT_EQ(named, "") << "resources with string names";
  std::sort(expected.begin(), expected.end());
  std::sort(actual.begin(), actual.end());
  EXPECT_EQ(actual, expected) << "as (type, id, language)";
}

// What a control must be. An empty `text` string with `any_text` set
// accepts any non-empty string.
struct ExpectedItem {
  std::uint32_t id;
  std::uint16_t window_class;
  NameOrOrdinal text;
  std::int16_t x, y, cx, cy;
  std::uint32_t style;
  bool any_text = false;
};

void ExpectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const DialogItem& item = dialog.items[i];
    const ExpectedItem& want = expected[i];
    SCOPED_TRACE(testing::Message() << "item " << i << ", id 0x" << std::hex << item.id);
    EXPECT_EQ(item.id, want.id);
    // The resource compiler may write the class as an ordinal or a name.
    EXPECT_EQ(framework::PredefinedControlClass(item.window_class), want.window_class)
        << "class " << testing::PrintToString(item.window_class);
    if (want.any_text) {
      const std::u16string* text = std::get_if<std::u16string>(&item.text);
      EXPECT_TRUE(text != nullptr && !text->empty())
          << "text " << testing::PrintToString(item.text);
    } else {
      EXPECT_EQ(item.text, want.text);
    }
    EXPECT_EQ(std::tie(item.x, item.y, item.cx, item.cy),
              std::tie(want.x, want.y, want.cx, want.cy))
        << "as x, y, cx, cy";
    EXPECT_EQ(item.style, want.style) << std::hex << "0x" << item.style << " vs 0x" << want.style;
    EXPECT_EQ(item.ex_style, 0u);
    EXPECT_EQ(item.help_id, 0u);
    EXPECT_TRUE(item.creation_data.empty());
  }
}

void ExpectShellFont(const DialogTemplate& dialog) {
  ASSERT_TRUE(dialog.font.has_value());
  const framework::DialogFont expected{
      .point_size = 9, .weight = 0, .italic = false, .charset = 1, .face_name = u"MS Shell Dlg"};
  EXPECT_EQ(*dialog.font, expected)
      << "font " << dialog.font->point_size << " pt, weight " << dialog.font->weight << ", charset "
      << int{dialog.font->charset} << ", " << testing::PrintToString(dialog.font->face_name);
}

void ExpectPlainHeader(const DialogTemplate& dialog) {
  EXPECT_EQ(dialog.version, 1);
  EXPECT_EQ(dialog.signature, 0xFFFF);
  EXPECT_EQ(dialog.help_id, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.menu, NameOrOrdinal(u"")) << "a menu";
  EXPECT_EQ(dialog.window_class, NameOrOrdinal(u"")) << "a window class";
}

constexpr std::uint16_t kButton = framework::kControlClassButton;
constexpr std::uint16_t kEdit = framework::kControlClassEdit;
constexpr std::uint16_t kStatic = framework::kControlClassStatic;
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

TEST_F(CompiledResources, MainDialog) {
  framework::Parsed<DialogTemplate> dialog =
      DialogTemplate::Parse(Data(framework::kResourceTypeDialog, kMainDialog, kChinese));
  ASSERT_TRUE(dialog.ok()) << Describe(dialog.error());
  ExpectPlainHeader(*dialog);
  EXPECT_EQ(dialog->cx, 335);
  EXPECT_EQ(dialog->cy, 142);
  EXPECT_EQ(dialog->style, 0x90CC0048u);
  EXPECT_EQ(dialog->ex_style, 0x00040000u);
  EXPECT_EQ(dialog->caption, u"Tessel");
  ExpectShellFont(*dialog);
  ExpectItems(*dialog, {
                           {1, kButton, u"确定", 209, 121, 50, 14, 0x40010001},
                           {2, kButton, u"取消", 278, 121, 50, 14, 0x40010000},
                           {1000, kEdit, u"", 16, 53, 284, 14, 0x50810080},
                           {kNoId, kStatic, u"CheckSum:", 17, 72, 36, 8, 0x50020000},
                           {kNoId, kButton, u"Intel Hex Calc", 7, 30, 321, 78, 0x50000007},
                           {1001, kEdit, u"", 16, 85, 23, 14, 0x50810081},
                           {1002, kButton, u"Calculate", 253, 89, 50, 14, 0x50010000},
                           {kNoId, kStatic, u"", 288, 122, 40, 8, 0x58020000, true},
                           {1004, kEdit, u"", 305, 55, 19, 14, 0x58010880},
                       });
}

TEST_F(CompiledResources, AboutDialog) {
  framework::Parsed<DialogTemplate> dialog =
      DialogTemplate::Parse(Data(framework::kResourceTypeDialog, kAboutDialog, kChinese));
  ASSERT_TRUE(dialog.ok()) << Describe(dialog.error());
  ExpectPlainHeader(*dialog);
  EXPECT_EQ(dialog->cx, 170);
  EXPECT_EQ(dialog->cy, 62);
  EXPECT_EQ(dialog->style, 0x80C800C8u);
  EXPECT_EQ(dialog->ex_style, 0u);
  EXPECT_EQ(dialog->caption, u"关于 Tessel");
  ExpectShellFont(*dialog);
  ExpectItems(*dialog, {
                           {kNoId, kStatic, kAppIcon, 14, 14, 20, 20, 0x50000003},
                           {kNoId, kStatic, u"Tessel\uFF0C1.0 版", 42, 14, 114, 8, 0x50020080},
                           {kNoId, kStatic, u"", 42, 26, 114, 8, 0x50020000, true},
                           {1, kButton, u"确定", 113, 41, 50, 14, 0x50030001},
                       });
}

TEST_F(CompiledResources, StringTableHoldsOnlyTheAboutMenuText) {
  const std::span<const std::byte> block =
      Data(framework::kResourceTypeString, kAboutMenuString / 16 + 1, kChinese);
  for (unsigned index = 0; index < 16; ++index) {
    framework::Parsed<std::u16string> text = framework::ReadStringTableEntry(block, index);
    ASSERT_TRUE(text.ok()) << "index " << index << ": " << Describe(text.error());
    const std::u16string expected = index == kAboutMenuString % 16 ? u"关于 Tessel(&A)..." : u"";
    EXPECT_EQ(*text, expected) << "string " << (kAboutMenuString / 16 * 16 + index);
  }
  // The program asks by ID; an English system falls back to the one block.
  EXPECT_EQ(file_->FindString(kAboutMenuString, kChinese), u"关于 Tessel(&A)...");
  EXPECT_EQ(file_->FindString(kAboutMenuString, kEnglish), u"关于 Tessel(&A)...");
}

TEST_F(CompiledResources, IconDirectoryListsThirteenImages) {
  framework::Parsed<IconGroup> group =
      IconGroup::Parse(Data(framework::kResourceTypeGroupIcon, kAppIcon, kChinese));
  ASSERT_TRUE(group.ok()) << Describe(group.error());

  struct Image {
    int size;  // pixels, square
    std::uint16_t bit_count;
  };
  const std::vector<Image> expected = {
      {48, 4}, {32, 4},   {24, 4},  {16, 4},  {48, 8},  {32, 8},  {24, 8},
      {16, 8}, {256, 32}, {48, 32}, {32, 32}, {24, 32}, {16, 32},
  };
  ASSERT_EQ(group->entries.size(), expected.size())
      << "res/tessel.ico may still be the placeholder";
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const framework::IconGroupEntry& entry = group->entries[i];
    SCOPED_TRACE(testing::Message() << "image " << i + 1 << ", expected " << expected[i].size
                                    << " px at " << expected[i].bit_count << " bits");
    EXPECT_EQ(entry.PixelWidth(), expected[i].size);
    EXPECT_EQ(entry.PixelHeight(), expected[i].size);
    EXPECT_EQ(entry.bit_count, expected[i].bit_count);
    EXPECT_EQ(entry.color_count, expected[i].bit_count == 4 ? 16 : 0);
    EXPECT_EQ(entry.planes, 1);
    EXPECT_EQ(entry.id, i + 1);

    // The image itself: its size as the directory says, and PNG for 256
    // pixels, a DIB (a 40-byte header with doubled height for the mask)
    // for the others.
    const std::span<const std::byte> image = Data(framework::kResourceTypeIcon, entry.id, kChinese);
    EXPECT_EQ(entry.bytes_in_res, image.size());
    if (expected[i].size == 256) {
      const std::array<unsigned, 8> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
      ASSERT_GE(image.size(), png.size());
      for (std::size_t b = 0; b < png.size(); ++b) {
        EXPECT_EQ(std::to_integer<unsigned>(image[b]), png[b]) << "PNG signature byte " << b;
      }
    } else {
      framework::BinaryReader dib(image);
      const std::uint32_t header_size = dib.ReadU32();
      const std::uint32_t width = dib.ReadU32();
      const std::uint32_t height = dib.ReadU32();
      dib.ReadU16();  // planes
      const std::uint16_t bit_count = dib.ReadU16();
      ASSERT_TRUE(dib.ok()) << "image of " << image.size() << " bytes";
      EXPECT_EQ(header_size, 40u);
      EXPECT_EQ(width, static_cast<std::uint32_t>(expected[i].size));
      EXPECT_EQ(height, static_cast<std::uint32_t>(2 * expected[i].size));
      EXPECT_EQ(bit_count, expected[i].bit_count);
    }
  }
}

TEST_F(CompiledResources, VersionBlock) {
  framework::Parsed<VersionInfo> info =
      VersionInfo::Parse(Data(framework::kResourceTypeVersion, 1, kChinese));
  ASSERT_TRUE(info.ok()) << Describe(info.error());

  ASSERT_TRUE(info->fixed.has_value());
  const framework::FixedFileInfo& fixed = *info->fixed;
  EXPECT_EQ(fixed.signature, framework::kFixedFileInfoSignature);
  EXPECT_EQ(fixed.file_version_ms, 0x00010000u);
  EXPECT_EQ(fixed.file_version_ls, 0x00000001u);
  EXPECT_EQ(fixed.product_version_ms, 0x00010000u);
  EXPECT_EQ(fixed.product_version_ls, 0x00000001u);
  EXPECT_EQ(fixed.file_flags_mask, 0x3Fu);
  EXPECT_EQ(fixed.file_flags, 0u);
  EXPECT_EQ(fixed.file_os, 0x00040004u);
  EXPECT_EQ(fixed.file_type, 1u);
  EXPECT_EQ(fixed.file_subtype, 0u);
  EXPECT_EQ(fixed.file_date_ms, 0u);
  EXPECT_EQ(fixed.file_date_ls, 0u);

  ASSERT_EQ(info->string_tables.size(), 1u);
  EXPECT_EQ(info->string_tables[0].key, u"080404b0");
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {u"CompanyName", u"TODO: <公司名>"},
      {u"FileDescription", u"Tessel"},
      {u"FileVersion", u"1.0.0.1"},
      {u"InternalName", u"Tessel.exe"},
      {u"LegalCopyright", u""},  // any non-empty text
      {u"OriginalFilename", u"Tessel.exe"},
      {u"ProductName", u"TODO: <产品名>"},
      {u"ProductVersion", u"1.0.0.1"},
  };
  const std::vector<framework::VersionString>& strings = info->string_tables[0].strings;
  ASSERT_EQ(strings.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(strings[i].name, expected[i].first);
    if (expected[i].second.empty()) {
      EXPECT_FALSE(strings[i].value.empty()) << testing::PrintToString(strings[i].name);
    } else {
      EXPECT_EQ(strings[i].value, expected[i].second) << testing::PrintToString(strings[i].name);
    }
  }

  const std::vector<framework::VersionTranslation> translations = {{0x0804, 0x04B0}};
  EXPECT_EQ(info->translations, translations);
}

TEST_F(CompiledResources, ManifestAsksForCommonControls6AndDpiAwareness) {
  const std::span<const std::byte> data = Data(framework::kResourceTypeManifest, 1, kEnglish);
  std::string xml;
  std::transform(data.begin(), data.end(), std::back_inserter(xml),
                 [](std::byte b) { return static_cast<char>(b); });

  // The element that names the common controls, attributes in any order.
  std::smatch identity;
  ASSERT_TRUE(std::regex_search(
      xml, identity,
      std::regex(R"(<assemblyIdentity\b[^>]*name="Microsoft\.Windows\.Common-Controls"[^>]*>)")))
      << xml;
  const std::string element = identity.str();
  for (const char* attribute :
       {R"(type="win32")", R"(version="6.0.0.0")", R"(processorArchitecture="x86")",
        R"(publicKeyToken="6595b64144ccf1df")", R"(language="\*")"}) {
    EXPECT_TRUE(std::regex_search(element, std::regex(std::string(R"(\s)") + attribute)))
        << attribute << " missing from " << element;
  }
  EXPECT_TRUE(std::regex_search(
      xml, std::regex(R"(<requestedExecutionLevel\s+level="asInvoker"\s+uiAccess="false")")))
      << xml;
  EXPECT_TRUE(std::regex_search(xml, std::regex(R"(<dpiAware\b[^>]*>\s*true\s*</dpiAware>)")))
      << xml;
}

}  // namespace
