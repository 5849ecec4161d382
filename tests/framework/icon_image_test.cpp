#include "ui/framework/icon_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/framework/resource_bytes.h"
#include "ui/framework/resource_file.h"

namespace {

using framework::DecodedIconImage;
using framework::DecodeIconImage;
using framework::IconGroup;
using framework::IconGroupEntry;
using framework::IconImageFormat;
using framework::Parsed;
using framework::ResourceError;
using framework::ResourceFile;
using resource_test::Bytes;
using resource_test::Hex;

// The BITMAPINFOHEADER fields a fixture sets; the others are written as 0.
struct Header {
  std::int32_t width = 2;
  std::int32_t height = 4;  // twice the image's height: colour rows and mask rows
  std::uint16_t bit_count = 4;
  std::uint32_t colors_used = 0;
  std::uint32_t size = 40;
  std::uint16_t planes = 1;
  std::uint32_t compression = 0;
};

// Offsets of header fields, for fixtures that overwrite one.
constexpr std::size_t kWidthField = 4;
constexpr std::size_t kHeightField = 8;
constexpr std::size_t kColorsUsedField = 32;

// Rows of raw bytes, bottom row first as stored; Bitmap pads each to 4 bytes.
using Rows = std::vector<std::vector<std::uint8_t>>;

// An icon bitmap: the header (with zeros after its 40 bytes when `size` is
// larger), the palette given as 0x00RRGGBB values, the colour rows and the
// mask rows.
Bytes Bitmap(const Header& header, const std::vector<std::uint32_t>& palette, const Rows& colors,
             const Rows& mask) {
  Bytes bytes;
  bytes.U32(header.size)
      .U32(static_cast<std::uint32_t>(header.width))
      .U32(static_cast<std::uint32_t>(header.height))
      .U16(header.planes)
      .U16(header.bit_count)
      .U32(header.compression)
      .U32(0)
      .U32(0)
      .U32(0)
      .U32(header.colors_used)
      .U32(0);
  while (bytes.size() < header.size) {
    bytes.U8(0);
  }
  for (std::uint32_t color : palette) {
    bytes.U8(color & 0xFF).U8(color >> 8 & 0xFF).U8(color >> 16 & 0xFF).U8(0);
  }
  for (const Rows* rows : {&colors, &mask}) {
    for (const std::vector<std::uint8_t>& row : *rows) {
      for (std::uint8_t byte : row) {
        bytes.U8(byte);
      }
      bytes.Align(4);
    }
  }
  return bytes;
}

// 16 colours, of which the fixtures use a few.
std::vector<std::uint32_t> Palette16() {
  std::vector<std::uint32_t> palette(16, 0x000000);
  palette[1] = 0x102030;
  palette[2] = 0xA0B0C0;
  palette[3] = 0xFFFFFF;
  palette[15] = 0x0000FF;
  return palette;
}

// 2×2 at 4 bits: top row colours 1 and 2, bottom row 3 and 15; the top
// right pixel is masked out. Mask bytes: bit 7 is the left pixel.
Bytes FourBit() { return Bitmap({}, Palette16(), {{0x3F}, {0x12}}, {{0x00}, {0x40}}); }

std::string Pixels(const std::vector<std::uint32_t>& argb) {
  std::string text;
  for (std::uint32_t pixel : argb) {
    char hex[12];
    std::snprintf(hex, sizeof hex, " %08X", static_cast<unsigned>(pixel));
    text += hex;
  }
  return text;
}

TEST(DecodeIconImage, DecodesBitmaps) {
  struct Case {
    const char* what;
    Bytes bytes;
    int width, height;
    std::vector<std::uint32_t> argb;  // top row first
  };
  const std::vector<Case> cases = {
      {"4 bits, 16-colour palette, one pixel masked",
       FourBit(),
       2,
       2,
       {0xFF102030, 0x00000000, 0xFFFFFFFF, 0xFF0000FF}},
      {"1 bit, 3 wide, leftmost pixel in bit 7",
       Bitmap({.width = 3, .height = 4, .bit_count = 1}, {0x000000, 0x00FF00},
              {{0b0100'0000}, {0b1010'0000}}, {{0b0010'0000}, {0b0000'0000}}),
       3,
       2,
       {0xFF00FF00, 0xFF000000, 0xFF00FF00, 0xFF000000, 0xFF00FF00, 0x00000000}},
      {"8 bits, 2-colour palette from biClrUsed, bottom left masked",
       Bitmap({.bit_count = 8, .colors_used = 2}, {0x112233, 0x445566}, {{1, 0}, {0, 1}},
              {{0x80}, {0x00}}),
       2,
       2,
       {0xFF112233, 0xFF445566, 0x00000000, 0xFF112233}},
      {"24 bits, BGR order, top left masked, bytes after the mask ignored",
       Bitmap({.bit_count = 24}, {}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, {{0x00}, {0x80}})
           .U32(0xDEADBEEF),
       2,
       2,
       {0x00000000, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
      {"24 bits after a 44-byte header and one palette-display colour",
       Bitmap({.bit_count = 24, .colors_used = 1, .size = 44}, {0xFFFFFF},
              {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, {{0x00}, {0x00}}),
       2,
       2,
       {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
      {"32 bits with alpha: alpha kept, colour not premultiplied, mask ignored",
       Bitmap({.bit_count = 32}, {},
              {{0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x10},
               {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0x80}},
              {{0xC0}, {0xC0}}),
       2,
       2,
       {0xFF030201, 0x80060504, 0x00302010, 0x10605040}},
      {"32 bits, every alpha 0: the mask decides",
       Bitmap({.bit_count = 32}, {},
              {{0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x00},
               {0x01, 0x02, 0x03, 0x00, 0x04, 0x05, 0x06, 0x00}},
              {{0x40}, {0x80}}),
       2,
       2,
       {0x00000000, 0xFF060504, 0xFF302010, 0x00000000}},
  };
  for (const Case& c : cases) {
    const Parsed<DecodedIconImage> decoded = DecodeIconImage(c.bytes);
    ASSERT_TRUE(decoded.ok()) << c.what << ": " << Describe(decoded.error()) << "\n"
                              << Hex(c.bytes);
    EXPECT_EQ(decoded->format, IconImageFormat::kBitmap) << c.what;
    EXPECT_TRUE(decoded->png.empty()) << c.what;
    EXPECT_EQ(decoded->width, c.width) << c.what;
    EXPECT_EQ(decoded->height, c.height) << c.what;
    EXPECT_EQ(decoded->bitmap.width, c.width) << c.what;
    EXPECT_EQ(decoded->bitmap.height, c.height) << c.what;
    EXPECT_EQ(decoded->bitmap.argb, c.argb)
        << c.what << ":\n got" << Pixels(decoded->bitmap.argb) << "\nwant" << Pixels(c.argb) << "\n"
        << Hex(c.bytes);
  }
}

// A PNG stream's start: the signature, an IHDR chunk of `length` bytes and
// type `type` holding the width and height and five more fields, its CRC
// (not checked, so 0) and the rest of a stream, here a stand-in.
Bytes Png(std::uint32_t width, std::uint32_t height, const char* type = "IHDR",
          std::uint32_t length = 13) {
  Bytes bytes;
  for (std::uint8_t byte : {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}) {  // \x89 "PNG" ...
    bytes.U8(byte);
  }
  const auto big_endian = [&bytes](std::uint32_t value) {
    bytes.U8(value >> 24).U8(value >> 16 & 0xFF).U8(value >> 8 & 0xFF).U8(value & 0xFF);
  };
  big_endian(length);
  for (const char* c = type; *c != '\0'; ++c) {
    bytes.U8(static_cast<std::uint8_t>(*c));
  }
  big_endian(width);
  big_endian(height);
  bytes.U8(8).U8(6).U8(0).U8(0).U8(0);
  big_endian(0);
  for (int i = 0; i < 12; ++i) {
    bytes.U8(0xAB);
  }
  return bytes;
}

TEST(DecodeIconImage, ReportsPngWithItsSize) {
  struct Case {
    std::uint32_t width, height;
  };
  for (const Case& c : std::vector<Case>{{256, 256}, {48, 32}, {1, 1024}}) {
    const Bytes bytes = Png(c.width, c.height);
    const Parsed<DecodedIconImage> decoded = DecodeIconImage(bytes);
    ASSERT_TRUE(decoded.ok()) << Describe(decoded.error()) << "\n" << Hex(bytes);
    EXPECT_EQ(decoded->format, IconImageFormat::kPng) << Hex(bytes);
    EXPECT_EQ(decoded->width, static_cast<int>(c.width)) << Hex(bytes);
    EXPECT_EQ(decoded->height, static_cast<int>(c.height)) << Hex(bytes);
    EXPECT_TRUE(decoded->bitmap.argb.empty()) << Hex(bytes);
    // The whole stream, in place, for the toolkit's PNG reader.
    EXPECT_EQ(decoded->png.data(), bytes.span().data()) << Hex(bytes);
    EXPECT_EQ(decoded->png.size(), bytes.size()) << Hex(bytes);
  }
}

TEST(DecodeIconImage, RejectsMalformedImages) {
  struct Case {
    const char* what;
    Bytes bytes;
    ResourceError expected;
  };
  // FourBit() is 40 header bytes, 64 of palette, 8 of colour rows, 8 of mask.
  const std::vector<Case> cases = {
      {"ends inside the header", FourBit().Truncate(39), ResourceError::kTruncated},
      {"12-byte core header", FourBit().SetU32(0, 12), ResourceError::kBadSignature},
      {"header size past the end", FourBit().SetU32(0, 121), ResourceError::kSizeOutOfRange},
      {"two planes", Bitmap({.planes = 2}, Palette16(), {{0}, {0}}, {{0}, {0}}),
       ResourceError::kBadSignature},
      {"16 bits per pixel", Bitmap({.bit_count = 16}, {}, {{0, 0, 0, 0}, {0, 0, 0, 0}}, {{0}, {0}}),
       ResourceError::kBadSignature},
      {"run-length compressed", Bitmap({.bit_count = 8, .compression = 1}, {}, {}, {}),
       ResourceError::kBadSignature},
      {"width 0", FourBit().SetU32(kWidthField, 0), ResourceError::kMalformed},
      {"negative height, the top-down layout", FourBit().SetU32(kHeightField, 0xFFFFFFFC),
       ResourceError::kMalformed},
      {"odd height", FourBit().SetU32(kHeightField, 3), ResourceError::kMalformed},
      {"width above the limit", FourBit().SetU32(kWidthField, 1025),
       ResourceError::kSizeOutOfRange},
      {"width × height past 32 bits",
       FourBit().SetU32(kWidthField, 0x10000).SetU32(kHeightField, 0x20000),
       ResourceError::kSizeOutOfRange},
      {"17 colours at 4 bits", FourBit().SetU32(kColorsUsedField, 17), ResourceError::kMalformed},
      {"palette of 2^30 colours past the end, 2^32 bytes",
       Bitmap({.bit_count = 24, .colors_used = 0x40000000}, {}, {{0, 0, 0, 0, 0, 0}}, {{0}}),
       ResourceError::kTruncated},
      {"colour rows cut short", FourBit().Truncate(40 + 64 + 7), ResourceError::kTruncated},
      {"mask cut short", FourBit().Truncate(40 + 64 + 8 + 7), ResourceError::kTruncated},
      {"pixel index past a 2-colour palette",
       Bitmap({.colors_used = 2}, {0x000000, 0xFFFFFF}, {{0x01}, {0x02}}, {{0}, {0}}),
       ResourceError::kMalformed},
      {"PNG ends inside IHDR", Png(16, 16).Truncate(28), ResourceError::kTruncated},
      {"PNG starting with another chunk", Png(16, 16, "IDAT"), ResourceError::kBadSignature},
      {"PNG width 0", Png(0, 16), ResourceError::kMalformed},
      {"PNG height above the limit", Png(16, 1025), ResourceError::kSizeOutOfRange},
  };
  for (const Case& c : cases) {
    const Parsed<DecodedIconImage> decoded = DecodeIconImage(c.bytes);
    ASSERT_FALSE(decoded.ok()) << c.what << ":\n" << Hex(c.bytes);
    EXPECT_EQ(decoded.error(), c.expected) << c.what << ":\n" << Hex(c.bytes);
  }
}

IconGroupEntry Image(std::uint8_t size, std::uint16_t bit_count, std::uint16_t id) {
  return {.width = size, .height = size, .planes = 1, .bit_count = bit_count, .id = id};
}

TEST(PickIconImage, PrefersExactThenLargerThenLargest) {
  const IconGroup group{{Image(16, 4, 1), Image(16, 32, 2), Image(32, 8, 3), Image(32, 32, 4),
                         Image(32, 32, 5), Image(48, 32, 6), Image(0, 32, 7)}};
  struct Case {
    int wanted;
    std::uint16_t id;
  };
  const std::vector<Case> cases = {
      {16, 2},   // exact, deepest
      {32, 4},   // exact, deepest, first of two alike
      {20, 4},   // the nearest larger size, deepest
      {256, 7},  // 0 in the group stands for 256
      {0, 2},    // every image is larger: the smallest
      {300, 7},  // every image is smaller: the largest
  };
  for (const Case& c : cases) {
    const IconGroupEntry* picked = framework::PickIconImage(group, c.wanted);
    ASSERT_NE(picked, nullptr) << "wanted " << c.wanted;
    EXPECT_EQ(picked->id, c.id) << "wanted " << c.wanted;
  }
  EXPECT_EQ(framework::PickIconImage(IconGroup{}, 16), nullptr);
}

// One .res entry with ordinal type and name, as the resource compiler
// writes it.
Bytes ResEntry(std::uint16_t type, std::uint16_t id, std::uint16_t language, const Bytes& data) {
  Bytes entry;
  entry.U32(static_cast<std::uint32_t>(data.size())).U32(32);
  entry.Ordinal(type).Ordinal(id).U32(0).U16(0x1030).U16(language).U32(0).U32(0);
  return entry.Append(data).Align(4);
}

Bytes GroupOf(std::uint16_t type, const std::vector<IconGroupEntry>& entries) {
  Bytes group;
  group.U16(0).U16(type).U16(static_cast<std::uint16_t>(entries.size()));
  for (const IconGroupEntry& e : entries) {
    group.U8(e.width).U8(e.height).U8(0).U8(0).U16(e.planes).U16(e.bit_count).U32(0).U16(e.id);
  }
  return group;
}

TEST(LoadIconImage, FindsGroupThenImage) {
  constexpr std::uint16_t kEnglish = 0x0409;
  Bytes file = ResEntry(0, 0, 0, Bytes());
  file.Append(ResEntry(framework::kResourceTypeGroupIcon, 1, kEnglish,
                       GroupOf(1, {Image(48, 32, 99), Image(2, 4, 7)})))
      .Append(ResEntry(framework::kResourceTypeGroupIcon, 2, kEnglish, GroupOf(2, {})))
      .Append(ResEntry(framework::kResourceTypeGroupIcon, 3, kEnglish, GroupOf(1, {})))
      .Append(ResEntry(framework::kResourceTypeIcon, 7, kEnglish, FourBit()));
  const Parsed<ResourceFile> resources = ResourceFile::Parse(file);
  ASSERT_TRUE(resources.ok()) << Describe(resources.error()) << "\n" << Hex(file);

  struct Case {
    const char* what;
    std::uint16_t group_id;
    int wanted;
    bool found;
    std::optional<ResourceError> error;
  };
  const std::vector<Case> cases = {
      {"the 2×2 image, found from another language", 1, 2, true, std::nullopt},
      {"no such group", 9, 2, false, std::nullopt},
      {"a cursor group", 2, 2, true, ResourceError::kBadSignature},
      {"a group without images", 3, 2, false, std::nullopt},
      {"the picked image's resource is missing", 1, 48, false, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<Parsed<DecodedIconImage>> loaded =
        framework::LoadIconImage(*resources, c.group_id, 0x0804, c.wanted);
    ASSERT_EQ(loaded.has_value(), c.found) << c.what;
    if (!loaded) {
      continue;
    }
    if (c.error) {
      ASSERT_FALSE(loaded->ok()) << c.what;
      EXPECT_EQ(loaded->error(), *c.error) << c.what;
    } else {
      ASSERT_TRUE(loaded->ok()) << c.what << ": " << Describe(loaded->error());
      EXPECT_EQ((*loaded)->bitmap.argb, DecodeIconImage(FourBit())->bitmap.argb) << c.what;
    }
  }
}

// Tessel's own icon, group 128, as the resource compiler wrote it.
class CompiledIcon : public testing::Test {
 protected:
  static constexpr std::uint16_t kAppIcon = 128;
  static constexpr std::uint16_t kChinese = 0x0804;

  static void SetUpTestSuite() {
    bytes_ = new std::vector<std::byte>(framework::ReadFileBytes(TESSEL_RES_FILE));
    ASSERT_FALSE(bytes_->empty()) << "cannot read " << TESSEL_RES_FILE;
    Parsed<ResourceFile> parsed = ResourceFile::Parse(*bytes_);
    ASSERT_TRUE(parsed.ok()) << TESSEL_RES_FILE << ": " << Describe(parsed.error());
    file_ = new ResourceFile(*parsed);
  }

  static void TearDownTestSuite() {
    delete file_;
    delete bytes_;
  }

  void SetUp() override { ASSERT_NE(file_, nullptr) << "the resource file did not load"; }

  static std::vector<std::byte>* bytes_;
  static ResourceFile* file_;
};

std::vector<std::byte>* CompiledIcon::bytes_ = nullptr;
ResourceFile* CompiledIcon::file_ = nullptr;

TEST_F(CompiledIcon, EveryImageDecodes) {
  struct Expected {
    int size;
    IconImageFormat format;
  };
  constexpr IconImageFormat kBitmap = IconImageFormat::kBitmap;
  // Images 1 to 13: 4, 8 and 32 bits at 48, 32, 24 and 16 pixels, and the
  // 256-pixel one as PNG between the 8- and 32-bit sets.
  const std::vector<Expected> expected = {
      {48, kBitmap}, {32, kBitmap}, {24, kBitmap},
      {16, kBitmap}, {48, kBitmap}, {32, kBitmap},
      {24, kBitmap}, {16, kBitmap}, {256, IconImageFormat::kPng},  //
      {48, kBitmap}, {32, kBitmap}, {24, kBitmap},
      {16, kBitmap},
  };
  const framework::ResourceEntry* group_resource =
      file_->FindExact(framework::kResourceTypeGroupIcon, kAppIcon, kChinese);
  ASSERT_NE(group_resource, nullptr);
  const Parsed<IconGroup> group = IconGroup::Parse(group_resource->data);
  ASSERT_TRUE(group.ok()) << Describe(group.error());
  ASSERT_EQ(group->entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const IconGroupEntry& entry = group->entries[i];
    SCOPED_TRACE(testing::Message() << "image " << entry.id << ", " << entry.bit_count << " bits");
    EXPECT_EQ(entry.id, i + 1);
    const framework::ResourceEntry* image =
        file_->FindExact(framework::kResourceTypeIcon, entry.id, kChinese);
    ASSERT_NE(image, nullptr);
    const Parsed<DecodedIconImage> decoded = DecodeIconImage(image->data);
    ASSERT_TRUE(decoded.ok()) << Describe(decoded.error());
    EXPECT_EQ(decoded->format, expected[i].format);
    EXPECT_EQ(decoded->width, expected[i].size);
    EXPECT_EQ(decoded->height, expected[i].size);
    EXPECT_EQ(decoded->width, entry.PixelWidth());
    EXPECT_EQ(decoded->height, entry.PixelHeight());
    if (decoded->format == kBitmap) {
      EXPECT_EQ(decoded->bitmap.argb.size(), static_cast<std::size_t>(expected[i].size) *
                                                 static_cast<std::size_t>(expected[i].size));
    } else {
      EXPECT_EQ(decoded->png.size(), image->data.size());
    }
  }
}

TEST_F(CompiledIcon, TrueColour32PixelImageIsOpaqueInTheMiddle) {
  const framework::ResourceEntry* group_resource =
      file_->FindExact(framework::kResourceTypeGroupIcon, kAppIcon, kChinese);
  ASSERT_NE(group_resource, nullptr);
  const Parsed<IconGroup> group = IconGroup::Parse(group_resource->data);
  ASSERT_TRUE(group.ok()) << Describe(group.error());
  const IconGroupEntry* picked = framework::PickIconImage(*group, 32);
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->id, 11);
  EXPECT_EQ(picked->bit_count, 32);

  const std::optional<Parsed<DecodedIconImage>> loaded =
      framework::LoadIconImage(*file_, kAppIcon, kChinese, 32);
  ASSERT_TRUE(loaded.has_value());
  ASSERT_TRUE(loaded->ok()) << Describe(loaded->error());
  const framework::IconImage& image = (*loaded)->bitmap;
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 32);
  int opaque = 0;
  for (int y = 8; y < 24; ++y) {
    for (int x = 8; x < 24; ++x) {
      opaque += image.argb[static_cast<std::size_t>(y * 32 + x)] >> 24 == 0xFF ? 1 : 0;
    }
  }
  EXPECT_GE(opaque, 16 * 16 * 9 / 10) << "of the middle 16×16 pixels";
  // The corners lie outside the rounded shape.
  EXPECT_EQ(image.argb.front() >> 24, 0u);
  EXPECT_EQ(image.argb.back() >> 24, 0u);

  const std::optional<Parsed<DecodedIconImage>> largest =
      framework::LoadIconImage(*file_, kAppIcon, kChinese, 256);
  ASSERT_TRUE(largest.has_value() && largest->ok());
  EXPECT_EQ((*largest)->format, IconImageFormat::kPng);
}

}  // namespace
