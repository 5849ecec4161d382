#include "ui/framework/icon_image.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace framework {
namespace {

constexpr std::uint32_t kMinHeaderSize = 40;  // BITMAPINFOHEADER; later versions are longer
constexpr std::uint32_t kUncompressed = 0;    // BI_RGB
constexpr std::size_t kPaletteEntryBytes = 4;
constexpr std::uint32_t kOpaque = 0xFF000000;

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// The signature, then the first chunk's length and type, then IHDR's data:
// width and height (big-endian, 32-bit each) and five 1-byte fields.
constexpr std::size_t kIhdrLengthOffset = 8;
constexpr std::size_t kIhdrTypeOffset = 12;
constexpr std::size_t kIhdrWidthOffset = 16;
constexpr std::size_t kIhdrHeightOffset = 20;
constexpr std::uint32_t kIhdrDataSize = 13;
constexpr std::size_t kIhdrEnd = kIhdrWidthOffset + kIhdrDataSize;

std::uint32_t ByteAt(std::span<const std::byte> bytes, std::size_t index) {
  return std::to_integer<std::uint32_t>(bytes[index]);
}

std::uint32_t BigEndianU32(std::span<const std::byte> bytes, std::size_t offset) {
  return ByteAt(bytes, offset) << 24 | ByteAt(bytes, offset + 1) << 16 |
         ByteAt(bytes, offset + 2) << 8 | ByteAt(bytes, offset + 3);
}

bool StartsWithPngSignature(std::span<const std::byte> bytes) {
  return bytes.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin(),
                    [](std::uint8_t want, std::byte have) { return std::byte{want} == have; });
}

// The limits every image size must respect, whatever its format. Taking
// 64-bit values keeps sizes read as 32-bit unsigned numbers intact.
std::optional<ResourceError> CheckSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) {
    return ResourceError::kMalformed;
  }
  if (width > kMaxIconSide || height > kMaxIconSide) {
    return ResourceError::kSizeOutOfRange;
  }
  return std::nullopt;
}

Parsed<DecodedIconImage> ReadPngHeader(std::span<const std::byte> bytes) {
  if (bytes.size() < kIhdrEnd) {
    return ResourceError::kTruncated;
  }
  const std::array<std::byte, 4> ihdr = {std::byte{'I'}, std::byte{'H'}, std::byte{'D'},
                                         std::byte{'R'}};
  if (BigEndianU32(bytes, kIhdrLengthOffset) != kIhdrDataSize ||
      !std::equal(ihdr.begin(), ihdr.end(), bytes.begin() + kIhdrTypeOffset)) {
    return ResourceError::kBadSignature;
  }
  const std::uint32_t width = BigEndianU32(bytes, kIhdrWidthOffset);
  const std::uint32_t height = BigEndianU32(bytes, kIhdrHeightOffset);
  if (std::optional<ResourceError> error = CheckSize(width, height)) {
    return *error;
  }
  DecodedIconImage image;
  image.format = IconImageFormat::kPng;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.png = bytes;
  return image;
}

// Returns the palette index of pixel `x` in a row of 1, 4 or 8 bits per
// pixel, the leftmost pixel in the high bits of each byte.
std::uint32_t PaletteIndex(std::span<const std::byte> row, int x, unsigned bit_count) {
  const std::size_t bit = static_cast<std::size_t>(x) * bit_count;
  const unsigned shift = 8 - bit_count - static_cast<unsigned>(bit % 8);
  return ByteAt(row, bit / 8) >> shift & ((1u << bit_count) - 1);
}

Parsed<DecodedIconImage> DecodeBitmap(std::span<const std::byte> bytes) {
  BinaryReader reader(bytes);
  const std::uint32_t header_size = reader.ReadU32();
  const std::int32_t width = static_cast<std::int32_t>(reader.ReadU32());
  const std::int32_t stored_height = static_cast<std::int32_t>(reader.ReadU32());
  const std::uint16_t planes = reader.ReadU16();
  const std::uint16_t bit_count = reader.ReadU16();
  const std::uint32_t compression = reader.ReadU32();
  reader.ReadU32();  // biSizeImage: the sizes follow from the other fields
  reader.ReadU32();  // biXPelsPerMeter
  reader.ReadU32();  // biYPelsPerMeter
  const std::uint32_t colors_used = reader.ReadU32();
  reader.ReadU32();  // biClrImportant
  if (!reader.ok()) {
    return reader.error();
  }
  if (header_size < kMinHeaderSize) {
    return ResourceError::kBadSignature;
  }
  // The fields that longer header versions add (colour masks, colour space)
  // describe nothing an uncompressed icon image needs.
  reader.ReadBytes(header_size - kMinHeaderSize, ResourceError::kSizeOutOfRange);
  if (!reader.ok()) {
    return reader.error();
  }
  const bool indexed = bit_count == 1 || bit_count == 4 || bit_count == 8;
  if (planes != 1 || !(indexed || bit_count == 24 || bit_count == 32) ||
      compression != kUncompressed) {
    return ResourceError::kBadSignature;
  }
  // biHeight counts the colour rows and the mask rows.
  if (stored_height % 2 != 0) {
    return ResourceError::kMalformed;
  }
  const int height = stored_height / 2;
  if (std::optional<ResourceError> error = CheckSize(width, height)) {
    return *error;
  }

  std::uint64_t palette_size = colors_used;
  if (indexed) {
    const std::uint32_t indexable = 1u << bit_count;
    if (colors_used > indexable) {
      return ResourceError::kMalformed;
    }
    palette_size = colors_used == 0 ? indexable : colors_used;
  }
  if (palette_size * kPaletteEntryBytes > reader.remaining()) {
    return ResourceError::kTruncated;
  }
  const std::span<const std::byte> palette_bytes =
      reader.ReadBytes(static_cast<std::size_t>(palette_size) * kPaletteEntryBytes);
  std::vector<std::uint32_t> palette;
  if (indexed) {
    for (std::size_t i = 0; i < palette_bytes.size(); i += kPaletteEntryBytes) {
      palette.push_back(kOpaque | ByteAt(palette_bytes, i + 2) << 16 |
                        ByteAt(palette_bytes, i + 1) << 8 | ByteAt(palette_bytes, i));
    }
  }

  // Rows are padded to whole 32-bit words. The size limits keep these
  // products far from overflowing even a 32-bit size_t.
  const std::size_t color_stride = (static_cast<std::size_t>(width) * bit_count + 31) / 32 * 4;
  const std::size_t mask_stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::span<const std::byte> color_rows = reader.ReadBytes(color_stride * height);
  const std::span<const std::byte> mask_rows = reader.ReadBytes(mask_stride * height);
  if (!reader.ok()) {
    return reader.error();
  }

  IconImage image;
  image.width = width;
  image.height = height;
  image.argb.resize(static_cast<std::size_t>(width) * height);
  bool any_alpha = false;
  // Stored rows run bottom-up: stored row 0 is the image's last row.
  for (int row = 0; row < height; ++row) {
    const std::span<const std::byte> src = color_rows.subspan(row * color_stride, color_stride);
    std::uint32_t* dst = &image.argb[static_cast<std::size_t>(height - 1 - row) * width];
    for (int x = 0; x < width; ++x) {
      if (indexed) {
        const std::uint32_t index = PaletteIndex(src, x, bit_count);
        if (index >= palette.size()) {
          return ResourceError::kMalformed;
        }
        dst[x] = palette[index];
      } else {
        const std::size_t at = static_cast<std::size_t>(x) * (bit_count / 8);
        const std::uint32_t alpha = bit_count == 32 ? ByteAt(src, at + 3) : 0xFF;
        any_alpha = any_alpha || alpha != 0;
        dst[x] =
            alpha << 24 | ByteAt(src, at + 2) << 16 | ByteAt(src, at + 1) << 8 | ByteAt(src, at);
      }
    }
  }

  // An image with an alpha channel carries its own transparency; the mask
  // is only what older displays drew with. Without one, the mask decides.
  if (bit_count != 32 || !any_alpha) {
    for (int row = 0; row < height; ++row) {
      const std::span<const std::byte> src = mask_rows.subspan(row * mask_stride, mask_stride);
      std::uint32_t* dst = &image.argb[static_cast<std::size_t>(height - 1 - row) * width];
      for (int x = 0; x < width; ++x) {
        const bool transparent = PaletteIndex(src, x, 1) != 0;
        dst[x] = transparent ? 0 : dst[x] | kOpaque;
      }
    }
  }

  DecodedIconImage decoded;
  decoded.format = IconImageFormat::kBitmap;
  decoded.width = width;
  decoded.height = height;
  decoded.bitmap = std::move(image);
  return decoded;
}

}  // namespace

Parsed<DecodedIconImage> DecodeIconImage(std::span<const std::byte> bytes) {
  return StartsWithPngSignature(bytes) ? ReadPngHeader(bytes) : DecodeBitmap(bytes);
}

const IconGroupEntry* PickIconImage(const IconGroup& group, int wanted_size) {
  // Ranks an entry; the lowest rank wins. First the kind of match (exact,
  // larger, anything else), then how close the size is within that kind,
  // then the colour depth.
  const auto rank = [wanted_size](const IconGroupEntry& entry) {
    const int size = std::max(entry.PixelWidth(), entry.PixelHeight());
    const bool exact = entry.PixelWidth() == wanted_size && entry.PixelHeight() == wanted_size;
    const int kind = exact ? 0 : (size > wanted_size ? 1 : 2);
    const int closeness = kind == 1 ? size : -size;
    return std::make_tuple(kind, closeness, -int{entry.bit_count});
  };
  const IconGroupEntry* best = nullptr;
  for (const IconGroupEntry& entry : group.entries) {
    if (best == nullptr || rank(entry) < rank(*best)) {
      best = &entry;
    }
  }
  return best;
}

std::optional<Parsed<DecodedIconImage>> LoadIconImage(const ResourceFile& resources,
                                                      std::uint16_t group_id,
                                                      std::uint16_t language, int wanted_size) {
  const ResourceEntry* group_resource = resources.Find(kResourceTypeGroupIcon, group_id, language);
  if (group_resource == nullptr) {
    return std::nullopt;
  }
  const Parsed<IconGroup> group = IconGroup::Parse(group_resource->data);
  if (!group.ok()) {
    return std::optional<Parsed<DecodedIconImage>>(std::in_place, group.error());
  }
  const IconGroupEntry* entry = PickIconImage(*group, wanted_size);
  if (entry == nullptr) {
    return std::nullopt;
  }
  const ResourceEntry* image = resources.Find(kResourceTypeIcon, entry->id, language);
  if (image == nullptr) {
    return std::nullopt;
  }
  return DecodeIconImage(image->data);
}

}  // namespace framework
