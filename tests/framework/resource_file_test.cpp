#include "ui/framework/resource_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/framework/resource_bytes.h"

namespace {

using framework::NameOrOrdinal;
using framework::ResourceEntry;
using framework::ResourceError;
using framework::ResourceFile;
using resource_test::Bytes;
using resource_test::Hex;

// The fields of a header after TYPE and NAME.
struct HeaderTail {
  std::uint16_t language = 0;
  std::uint32_t data_version = 0;
  std::uint16_t memory_flags = 0x1030;
  std::uint32_t version = 0;
  std::uint32_t characteristics = 0;
};

// One .res entry as the resource compiler writes it; `type_and_name` holds
// the two string-or-ordinal fields.
Bytes Entry(const Bytes& type_and_name, const HeaderTail& tail, const Bytes& data) {
  Bytes header;
  header.Append(type_and_name).Align(4);
  header.U32(tail.data_version).U16(tail.memory_flags).U16(tail.language);
  header.U32(tail.version).U32(tail.characteristics);
  Bytes entry;
  entry.U32(static_cast<std::uint32_t>(data.size()));
  entry.U32(static_cast<std::uint32_t>(8 + header.size()));
  return entry.Append(header).Append(data).Align(4);
}

Bytes Entry(std::uint16_t type, std::uint16_t id, std::uint16_t language, const Bytes& data) {
  return Entry(Bytes().Ordinal(type).Ordinal(id), {.language = language}, data);
}

Bytes Marker() { return Entry(0, 0, 0, Bytes()); }

// A string block holding `strings` at their indexes and empty strings
// elsewhere.
Bytes StringBlock(const std::map<unsigned, std::u16string>& strings) {
  Bytes block;
  for (unsigned index = 0; index < 16; ++index) {
    auto found = strings.find(index);
    const std::u16string text = found == strings.end() ? u"" : found->second;
    block.U16(static_cast<std::uint16_t>(text.size())).Units(text);
  }
  return block;
}

std::string TextOf(std::span<const std::byte> data) {
  std::string text;
  for (std::byte b : data) {
    text += static_cast<char>(b);
  }
  return text;
}

Bytes Text(std::string_view text) {
  Bytes bytes;
  for (char c : text) {
    bytes.U8(static_cast<std::uint8_t>(c));
  }
  return bytes;
}

TEST(ResourceFile, ReadsEveryEntryAfterTheMarker) {
  Bytes file;
  file.Append(Marker());
  // Odd data sizes, so each following entry sits after padding.
  file.Append(Entry(Bytes().Ordinal(5).Ordinal(102),
                    {.language = 0x0804,
                     .data_version = 0x11223344,
                     .memory_flags = 0x1010,
                     .version = 0x55667788,
                     .characteristics = 0x99AABBCC},
                    Text("dialog")));
  file.Append(Entry(Bytes().Str(u"PNG").Str(u"LOGO"), {.language = 0x0409}, Text("png")));
  // The last entry's padding is left off.
  file.Append(Entry(24, 1, 0x0409, Text("xml")));
  file.Truncate(file.size() - 1);

  framework::Parsed<ResourceFile> parsed = ResourceFile::Parse(file);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(file);
  const std::vector<ResourceEntry>& entries = parsed->entries();
  ASSERT_EQ(entries.size(), 3u) << Hex(file);

  EXPECT_EQ(entries[0].type, NameOrOrdinal(std::uint16_t{5}));
  EXPECT_EQ(entries[0].name, NameOrOrdinal(std::uint16_t{102}));
  EXPECT_EQ(entries[0].language, 0x0804);
  EXPECT_EQ(entries[0].data_version, 0x11223344u);
  EXPECT_EQ(entries[0].memory_flags, 0x1010);
  EXPECT_EQ(entries[0].version, 0x55667788u);
  EXPECT_EQ(entries[0].characteristics, 0x99AABBCCu);
  EXPECT_EQ(TextOf(entries[0].data), "dialog");

  EXPECT_EQ(entries[1].type, NameOrOrdinal(u"PNG"));
  EXPECT_EQ(entries[1].name, NameOrOrdinal(u"LOGO"));
  EXPECT_EQ(entries[1].language, 0x0409);
  EXPECT_EQ(TextOf(entries[1].data), "png");

  EXPECT_EQ(entries[2].type, NameOrOrdinal(std::uint16_t{24}));
  EXPECT_EQ(TextOf(entries[2].data), "xml");
  // The data is a view into the caller's buffer, not a copy.
  EXPECT_EQ(entries[2].data.data(), file.span().data() + file.size() - 3);
}

TEST(ResourceFile, FindsByTypeIdAndLanguage) {
  Bytes file;
  file.Append(Marker());
  file.Append(Entry(5, 100, 0x0409, Text("A")));
  file.Append(Entry(5, 100, 0x0411, Text("B")));
  file.Append(Entry(5, 102, 0x0804, Text("C")));
  // A string name is not the ordinal 100, even spelled "100".
  file.Append(Entry(Bytes().Ordinal(5).Str(u"100"), {.language = 0x0804}, Text("D")));
  file.Append(Entry(6, 100, 0x0804, Text("E")));
  framework::Parsed<ResourceFile> parsed = ResourceFile::Parse(file);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error());

  struct Case {
    std::uint16_t type;
    std::uint16_t id;
    std::uint16_t language;
    std::optional<std::string> exact;      // what FindExact finds
    std::optional<std::string> preferred;  // what Find finds
  };
  const std::vector<Case> cases = {
      // The exact language wins over an earlier entry in another one.
      {5, 100, 0x0411, "B", "B"},
      // Without the exact language, the first entry in any language.
      {5, 100, 0x0804, std::nullopt, "A"},
      {5, 102, 0x0409, std::nullopt, "C"},
      {5, 102, 0x0804, "C", "C"},
      // The type must match as well as the ID.
      {6, 100, 0x0804, "E", "E"},
      {6, 102, 0x0804, std::nullopt, std::nullopt},
      {7, 100, 0x0409, std::nullopt, std::nullopt},
      {5, 101, 0x0804, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", id " << c.id << ", language 0x"
                                    << std::hex << c.language);
    const ResourceEntry* exact = parsed->FindExact(c.type, c.id, c.language);
    const ResourceEntry* preferred = parsed->Find(c.type, c.id, c.language);
    EXPECT_EQ(exact ? std::optional(TextOf(exact->data)) : std::nullopt, c.exact);
    EXPECT_EQ(preferred ? std::optional(TextOf(preferred->data)) : std::nullopt, c.preferred);
  }
}

TEST(ResourceFile, FindStringReadsTheEntryOfItsBlock) {
  Bytes file;
  file.Append(Marker());
  // Strings 96 to 111 live in block 7, strings 0 to 15 in block 1.
  file.Append(
      Entry(6, 7, 0x0804, StringBlock({{0, u"first"}, {5, u"关于"}, {6, u"六"}, {15, u"last"}})));
  file.Append(Entry(6, 7, 0x0409, StringBlock({{5, u"About"}})));
  file.Append(Entry(6, 1, 0x0409, StringBlock({{3, u"three"}})));
  // Block 3 (strings 32 to 47) ends in the middle of its first string.
  file.Append(Entry(6, 3, 0x0804, Bytes().U16(4).Units(u"ab")));
  framework::Parsed<ResourceFile> parsed = ResourceFile::Parse(file);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error());

  struct Case {
    std::uint16_t id;
    std::uint16_t language;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {101, 0x0804, u"关于"},
      {96, 0x0804, u"first"},
      {111, 0x0804, u"last"},
      {101, 0x0409, u"About"},
      // No block in the language: the first block found, here 0x0804's.
      {101, 0x0411, u"关于"},
      {3, 0x0804, u"three"},
      // The 0x0409 block exists, so its empty string 102 does not fall back
      // to the 0x0804 block's.
      {102, 0x0409, u""},
      {102, 0x0804, u"六"},
      {100, 0x0804, u""},
      // No block 8 or 4096; block 3 is malformed.
      {112, 0x0804, u""},
      {0xFFFF, 0x0804, u""},
      {32, 0x0804, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parsed->FindString(c.id, c.language), c.expected)
        << "string " << c.id << ", language 0x" << std::hex << c.language;
  }
}

TEST(ReadStringTableEntry, FailsOnAShortBlock) {
  struct Case {
    const char* what;
    Bytes block;
    unsigned index;
    ResourceError expected;
  };
  const std::vector<Case> cases = {
      {"empty block", Bytes(), 0, ResourceError::kTruncated},
      {"block ends before the entry", Bytes().U16(1).Units(u"a").U16(0), 2,
       ResourceError::kTruncated},
      {"count past the end", Bytes().U16(5).Units(u"ab"), 0, ResourceError::kSizeOutOfRange},
      {"index past the block's 16", StringBlock({}), 16, ResourceError::kSizeOutOfRange},
  };
  for (const Case& c : cases) {
    framework::Parsed<std::u16string> text = framework::ReadStringTableEntry(c.block, c.index);
    ASSERT_FALSE(text.ok()) << c.what << ": read \"" << testing::PrintToString(*text) << "\"";
    EXPECT_EQ(text.error(), c.expected) << c.what << ", index " << c.index << "\n" << Hex(c.block);
  }
}

TEST(ResourceFile, RejectsMalformedFiles) {
  const Bytes dialog = Entry(5, 100, 0x0804, Text("dialog"));
  // An entry whose 10-unit name fills its header with no NUL.
  const Bytes unterminated_name = Bytes().U32(0).U32(32).Ordinal(5).Units(u"0123456789");

  struct Case {
    const char* what;
    Bytes file;
    ResourceError expected;
  };
  const std::vector<Case> cases = {
      {"empty input", Bytes(), ResourceError::kTruncated},
      {"ends inside the size fields", Bytes(Marker()).Truncate(6), ResourceError::kTruncated},
      {"ends inside a header", Bytes(Marker()).Append(dialog).Truncate(32 + 20),
       ResourceError::kTruncated},
      {"header size not a multiple of 4", Bytes(Marker()).Append(dialog).SetU32(32 + 4, 30),
       ResourceError::kMisaligned},
      {"header size below its own size fields", Bytes(Marker()).Append(dialog).SetU32(32 + 4, 4),
       ResourceError::kMalformed},
      {"header size too small for its fields", Bytes(Marker()).Append(dialog).SetU32(32 + 4, 24),
       ResourceError::kMalformed},
      {"huge header size", Bytes(Marker()).Append(dialog).SetU32(32 + 4, 0xFFFFFFFC),
       ResourceError::kTruncated},
      {"name without its NUL", Bytes(Marker()).Append(unterminated_name),
       ResourceError::kUnterminatedString},
      {"data size one past the end", Bytes(Marker()).Append(dialog).SetU32(32, 9),
       ResourceError::kSizeOutOfRange},
      {"huge data size", Bytes(Marker()).Append(dialog).SetU32(32, 0xFFFFFFFF),
       ResourceError::kSizeOutOfRange},
      {"no marker entry", dialog, ResourceError::kBadSignature},
      {"marker with data", Entry(0, 0, 0, Text("x")), ResourceError::kBadSignature},
  };
  for (const Case& c : cases) {
    framework::Parsed<ResourceFile> parsed = ResourceFile::Parse(c.file);
    ASSERT_FALSE(parsed.ok()) << c.what << ":\n" << Hex(c.file);
    EXPECT_EQ(parsed.error(), c.expected) << c.what << ":\n" << Hex(c.file);
  }
}

}  // namespace
