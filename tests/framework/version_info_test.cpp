#include "ui/framework/version_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/framework/resource_bytes.h"

namespace {

using framework::FixedFileInfo;
using framework::ResourceError;
using framework::VersionInfo;
using framework::VersionString;
using framework::VersionStringTable;
using framework::VersionTranslation;
using resource_test::Bytes;
using resource_test::Hex;

constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

// A node with its wLength filled in: header, key, value, then each child at
// a multiple of 4.
Bytes Node(std::u16string_view key, std::uint16_t type, std::uint16_t value_length,
           const Bytes& value, const std::vector<Bytes>& children = {}) {
  Bytes node;
  node.U16(0).U16(value_length).U16(type).Str(key).Align(4).Append(value);
  for (const Bytes& child : children) {
    node.Align(4).Append(child);
  }
  return node.SetU16(0, static_cast<std::uint16_t>(node.size()));
}

// A text field; wValueLength counts code units with the NUL.
Bytes TextNode(std::u16string_view key, std::u16string_view value) {
  return Node(key, kText, static_cast<std::uint16_t>(value.size() + 1), Bytes().Str(value));
}

// Each field distinct, so that fields read in the wrong order show.
const FixedFileInfo kFixed = {
    .signature = framework::kFixedFileInfoSignature,
    .struct_version = 0x00010000,
    .file_version_ms = 0x00010002,
    .file_version_ls = 0x00030004,
    .product_version_ms = 0x00050006,
    .product_version_ls = 0x00070008,
    .file_flags_mask = 0x3F,
    .file_flags = 0x2,
    .file_os = 0x40004,
    .file_type = 0x1,
    .file_subtype = 0x7,
    .file_date_ms = 0x11,
    .file_date_ls = 0x22,
};

Bytes FixedBytes(const FixedFileInfo& f) {
  return Bytes()
      .U32(f.signature)
      .U32(f.struct_version)
      .U32(f.file_version_ms)
      .U32(f.file_version_ls)
      .U32(f.product_version_ms)
      .U32(f.product_version_ls)
      .U32(f.file_flags_mask)
      .U32(f.file_flags)
      .U32(f.file_os)
      .U32(f.file_type)
      .U32(f.file_subtype)
      .U32(f.file_date_ms)
      .U32(f.file_date_ls);
}

Bytes Root(const std::vector<Bytes>& children, const FixedFileInfo& fixed = kFixed) {
  return Node(u"VS_VERSION_INFO", kBinary, 52, FixedBytes(fixed), children);
}

Bytes StringFileInfo(const std::vector<Bytes>& tables) {
  return Node(u"StringFileInfo", kText, 0, Bytes(), tables);
}

Bytes VarFileInfo(const Bytes& translation) {
  return Node(
      u"VarFileInfo", kText, 0, Bytes(),
      {Node(u"Translation", kBinary, static_cast<std::uint16_t>(translation.size()), translation)});
}

TEST(VersionInfo, ReadsFixedPartStringsAndTranslations) {
  const Bytes bytes = Root({
      StringFileInfo({
          Node(u"080404b0", kText, 0, Bytes(),
               {TextNode(u"CompanyName", u"TODO: <公司名>"), TextNode(u"FileVersion", u"1.0.0.1"),
                Node(u"Comments", kText, 0, Bytes())}),
          Node(u"040904b0", kText, 0, Bytes(), {TextNode(u"ProductName", u"Tessel")}),
      }),
      // Unknown children are skipped, wherever they are.
      Node(u"Custom", kBinary, 3, Bytes().U8(1).U8(2).U8(3)),
      VarFileInfo(Bytes().U16(0x0804).U16(1200).U16(0x0409).U16(1252)),
  });
  framework::Parsed<VersionInfo> parsed = VersionInfo::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(bytes);

  ASSERT_TRUE(parsed->fixed.has_value());
  EXPECT_EQ(*parsed->fixed, kFixed);
  const std::vector<VersionStringTable> tables = {
      {u"080404b0",
       {{u"CompanyName", u"TODO: <公司名>"}, {u"FileVersion", u"1.0.0.1"}, {u"Comments", u""}}},
      {u"040904b0", {{u"ProductName", u"Tessel"}}},
  };
  EXPECT_EQ(parsed->string_tables, tables);
  const std::vector<VersionTranslation> translations = {{0x0804, 1200}, {0x0409, 1252}};
  EXPECT_EQ(parsed->translations, translations);
}

TEST(VersionInfo, FindStringIgnoresAsciiCase) {
  const Bytes bytes = Root({StringFileInfo({
      Node(u"080404b0", kText, 0, Bytes(), {TextNode(u"FileVersion", u"1.0.0.1")}),
      Node(u"040904b0", kText, 0, Bytes(), {TextNode(u"ProductName", u"Tessel")}),
  })});
  framework::Parsed<VersionInfo> parsed = VersionInfo::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error());

  struct Case {
    std::u16string table;
    std::u16string name;
    const char16_t* expected;  // nullptr: not found
  };
  const std::vector<Case> cases = {
      {u"080404b0", u"FileVersion", u"1.0.0.1"},
      {u"080404B0", u"fileversion", u"1.0.0.1"},
      {u"040904b0", u"ProductName", u"Tessel"},
      // Each table holds only its own fields.
      {u"080404b0", u"ProductName", nullptr},
      {u"040904b0", u"FileVersion", nullptr},
      {u"080404b", u"FileVersion", nullptr},
      {u"080404b0", u"FileVersio", nullptr},
  };
  for (const Case& c : cases) {
    const std::u16string* found = parsed->FindString(c.table, c.name);
    SCOPED_TRACE(testing::Message() << "table " << testing::PrintToString(c.table) << ", name "
                                    << testing::PrintToString(c.name));
    if (c.expected == nullptr) {
      EXPECT_EQ(found, nullptr) << "found " << testing::PrintToString(*found);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(*found, c.expected);
    }
  }
}

TEST(VersionInfo, FixedPartIsOptional) {
  const Bytes bytes = Node(u"VS_VERSION_INFO", kBinary, 0, Bytes());
  framework::Parsed<VersionInfo> parsed = VersionInfo::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(bytes);
  EXPECT_FALSE(parsed->fixed.has_value());
}

TEST(VersionInfo, RejectsMalformedBlocks) {
  FixedFileInfo bad_signature = kFixed;
  bad_signature.signature = 0xFEEF04BE;
  Bytes overlong_child = TextNode(u"FileVersion", u"1.0.0.1");
  overlong_child.SetU16(0, static_cast<std::uint16_t>(overlong_child.size() + 8));
  Bytes overlong_value = TextNode(u"FileVersion", u"1.0.0.1");
  overlong_value.SetU16(2, 40);

  struct Case {
    const char* what;
    Bytes bytes;
    ResourceError expected;
  };
  const std::vector<Case> cases = {
      {"empty", Bytes(), ResourceError::kTruncated},
      {"a stray byte where a child should be", Root({}).U8(0).SetU16(0, 92 + 1),
       ResourceError::kTruncated},
      {"wLength below the smallest node", Root({}).SetU16(0, 4), ResourceError::kMalformed},
      {"fixed part of 48 bytes", Node(u"VS_VERSION_INFO", kBinary, 48, FixedBytes(kFixed)),
       ResourceError::kMalformed},
      {"root longer than the block", Root({}).SetU16(0, 96), ResourceError::kSizeOutOfRange},
      {"child longer than its parent",
       Root({StringFileInfo({Node(u"080404b0", kText, 0, Bytes(), {overlong_child})})}),
       ResourceError::kSizeOutOfRange},
      {"value longer than its node",
       Root({StringFileInfo({Node(u"080404b0", kText, 0, Bytes(), {overlong_value})})}),
       ResourceError::kSizeOutOfRange},
      {"key without its NUL", Bytes().U16(26).U16(0).U16(0).Units(u"VS_VERSION"),
       ResourceError::kUnterminatedString},
      {"wrong root key", Node(u"VS_VERSION", kBinary, 52, FixedBytes(kFixed)),
       ResourceError::kBadSignature},
      {"wrong fixed signature", Root({}, bad_signature), ResourceError::kBadSignature},
      {"translation not whole pairs", Root({VarFileInfo(Bytes().U16(0x0804).U16(1200).U16(0))}),
       ResourceError::kMisaligned},
  };
  for (const Case& c : cases) {
    framework::Parsed<VersionInfo> parsed = VersionInfo::Parse(c.bytes);
    ASSERT_FALSE(parsed.ok()) << c.what << ":\n" << Hex(c.bytes);
    EXPECT_EQ(parsed.error(), c.expected) << c.what << ":\n" << Hex(c.bytes);
  }
}

}  // namespace
