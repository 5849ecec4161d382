// Feeds arbitrary bytes to the icon image decoder and the icon group reader,
// as both meet the data of an icon resource. A decoded image must have a size
// within the limits, as many pixels as that size, and point only into the
// input; a group must hold what its header counts. Built with clang's
// libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "ui/framework/icon_group.h"
#include "ui/framework/icon_image.h"

namespace {

using framework::DecodedIconImage;
using framework::IconGroup;
using framework::IconGroupEntry;
using framework::IconImageFormat;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "icon invariant broken: %s\n", what);
  std::abort();
}

std::uint32_t U16At(std::span<const std::byte> bytes, std::size_t offset) {
  return std::to_integer<std::uint32_t>(bytes[offset]) |
         std::to_integer<std::uint32_t>(bytes[offset + 1]) << 8;
}

std::uint32_t BigEndianU32At(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value = value << 8 | std::to_integer<std::uint32_t>(bytes[offset + i]);
  }
  return value;
}

// BITMAPINFOHEADER's biBitCount, and the header's smallest size.
constexpr std::size_t kBitCountOffset = 14;
constexpr std::size_t kBitmapHeaderBytes = 40;
// Where IHDR's width and height sit in a PNG stream, and where its data ends
// (its CRC, which follows, is not needed to read the size).
constexpr std::size_t kPngWidthOffset = 16;
constexpr std::size_t kPngHeightOffset = 20;
constexpr std::size_t kIhdrDataEnd = 29;

void CheckImage(const DecodedIconImage& image, std::span<const std::byte> bytes) {
  if (image.width < 1 || image.width > framework::kMaxIconSide || image.height < 1 ||
      image.height > framework::kMaxIconSide) {
    Fail("image size out of range");
  }
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);

  if (image.format == IconImageFormat::kPng) {
    if (image.png.data() != bytes.data() || image.png.size() != bytes.size()) {
      Fail("the PNG stream is not the whole input");
    }
    if (bytes.size() < kIhdrDataEnd || BigEndianU32At(bytes, kPngWidthOffset) != width ||
        BigEndianU32At(bytes, kPngHeightOffset) != height) {
      Fail("PNG size differs from IHDR");
    }
    if (!image.bitmap.argb.empty()) {
      Fail("a PNG image carries decoded pixels");
    }
    return;
  }

  if (!image.png.empty()) {
    Fail("a bitmap image carries a PNG stream");
  }
  if (image.bitmap.width != image.width || image.bitmap.height != image.height ||
      image.bitmap.argb.size() != width * height) {
    Fail("pixel count differs from the image size");
  }
  // The header, the colour rows and the mask rows must all have been there;
  // the palette is left out, as 24 and 32 bits may have none.
  const std::uint32_t bit_count = U16At(bytes, kBitCountOffset);
  const std::size_t color_stride = (width * bit_count + 31) / 32 * 4;
  const std::size_t mask_stride = (width + 31) / 32 * 4;
  if (kBitmapHeaderBytes + (color_stride + mask_stride) * height > bytes.size()) {
    Fail("decoded more rows than the input holds");
  }
  // Without an alpha channel the mask decides: a pixel is either cleared or
  // opaque.
  if (bit_count != 32) {
    for (std::uint32_t pixel : image.bitmap.argb) {
      if (pixel != 0 && pixel >> 24 != 0xFF) {
        Fail("a pixel without alpha is neither cleared nor opaque");
      }
    }
  }
}

void CheckGroup(const IconGroup& group, std::span<const std::byte> bytes) {
  constexpr std::size_t kHeaderBytes = 6;
  constexpr std::size_t kEntryBytes = 14;
  if (group.entries.size() != U16At(bytes, 4)) {
    Fail("entry count differs from the header");
  }
  if (kHeaderBytes + group.entries.size() * kEntryBytes > bytes.size()) {
    Fail("more entries than the input holds");
  }
  for (int wanted : {16, 32, 48, 256}) {
    const IconGroupEntry* picked = framework::PickIconImage(group, wanted);
    if (group.entries.empty()) {
      if (picked != nullptr) {
        Fail("picked an image from an empty group");
      }
      continue;
    }
    if (picked < group.entries.data() || picked >= group.entries.data() + group.entries.size()) {
      Fail("picked an image outside the group");
    }
    bool any_exact = false;
    for (const IconGroupEntry& entry : group.entries) {
      any_exact = any_exact || (entry.PixelWidth() == wanted && entry.PixelHeight() == wanted);
    }
    if (any_exact && (picked->PixelWidth() != wanted || picked->PixelHeight() != wanted)) {
      Fail("passed over an image of exactly the wanted size");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const framework::Parsed<DecodedIconImage> image = framework::DecodeIconImage(bytes);
  if (image) {
    CheckImage(*image, bytes);
  }
  const framework::Parsed<IconGroup> group = IconGroup::Parse(bytes);
  if (group) {
    CheckGroup(*group, bytes);
  }
  return 0;
}
