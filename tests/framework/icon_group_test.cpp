#include "ui/framework/icon_group.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/framework/resource_bytes.h"

namespace {

using framework::IconGroup;
using framework::IconGroupEntry;
using framework::ResourceError;
using resource_test::Bytes;
using resource_test::Hex;

Bytes& AppendEntry(Bytes& bytes, const IconGroupEntry& entry) {
  return bytes.U8(entry.width)
      .U8(entry.height)
      .U8(entry.color_count)
      .U8(entry.reserved)
      .U16(entry.planes)
      .U16(entry.bit_count)
      .U32(entry.bytes_in_res)
      .U16(entry.id);
}

const std::vector<IconGroupEntry> kEntries = {
    {.width = 48,
     .height = 32,
     .color_count = 16,
     .reserved = 0,
     .planes = 1,
     .bit_count = 4,
     .bytes_in_res = 1640,
     .id = 1},
    {.width = 0,
     .height = 0,
     .color_count = 0,
     .reserved = 0,
     .planes = 1,
     .bit_count = 32,
     .bytes_in_res = 0x12345678,
     .id = 9},
    {.width = 255,
     .height = 1,
     .color_count = 0,
     .reserved = 7,
     .planes = 2,
     .bit_count = 8,
     .bytes_in_res = 296,
     .id = 0xFFFF},
};

Bytes Group(std::uint16_t reserved, std::uint16_t type, std::uint16_t count) {
  Bytes bytes;
  bytes.U16(reserved).U16(type).U16(count);
  for (const IconGroupEntry& entry : kEntries) {
    AppendEntry(bytes, entry);
  }
  return bytes;
}

TEST(IconGroup, ReadsEntriesInOrder) {
  // Trailing bytes after the counted entries are not part of the group.
  const Bytes bytes = Group(0, 1, 3).U16(0);
  framework::Parsed<IconGroup> parsed = IconGroup::Parse(bytes);
  ASSERT_TRUE(parsed.ok()) << Describe(parsed.error()) << "\n" << Hex(bytes);
  ASSERT_EQ(parsed->entries.size(), kEntries.size());
  for (std::size_t i = 0; i < kEntries.size(); ++i) {
    EXPECT_EQ(parsed->entries[i], kEntries[i]) << "entry " << i << "\n" << Hex(bytes);
  }
}

TEST(IconGroupEntry, ZeroSizeMeans256Pixels) {
  struct Case {
    std::uint8_t stored;
    int pixels;
  };
  for (const Case& c : std::vector<Case>{{0, 256}, {1, 1}, {48, 48}, {255, 255}}) {
    const IconGroupEntry entry{.width = c.stored, .height = c.stored};
    EXPECT_EQ(entry.PixelWidth(), c.pixels) << "stored " << int{c.stored};
    EXPECT_EQ(entry.PixelHeight(), c.pixels) << "stored " << int{c.stored};
  }
}

TEST(IconGroup, RejectsMalformedGroups) {
  struct Case {
    const char* what;
    Bytes bytes;
    ResourceError expected;
  };
  const std::vector<Case> cases = {
      {"ends inside the header", Bytes().U16(0).U16(1), ResourceError::kTruncated},
      {"more entries than the data holds", Group(0, 1, 4), ResourceError::kTruncated},
      {"last entry cut short", Group(0, 1, 3).Truncate(6 + 3 * 14 - 1), ResourceError::kTruncated},
      {"cursor group", Group(0, 2, 3), ResourceError::kBadSignature},
      {"reserved field set", Group(1, 1, 3), ResourceError::kBadSignature},
  };
  for (const Case& c : cases) {
    framework::Parsed<IconGroup> parsed = IconGroup::Parse(c.bytes);
    ASSERT_FALSE(parsed.ok()) << c.what << ":\n" << Hex(c.bytes);
    EXPECT_EQ(parsed.error(), c.expected) << c.what << ":\n" << Hex(c.bytes);
  }
}

}  // namespace
