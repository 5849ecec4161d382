// Decodes one image of an icon, the data of a kResourceTypeIcon resource,
// into pixels a toolkit can show, and picks the image of an icon group that
// suits a size. An icon image is stored in one of two ways:
//
//   bitmap  a BITMAPINFOHEADER, an RGBQUAD palette for 1, 4 and 8 bits, the
//           colour (XOR) rows, then the 1-bit transparency (AND) rows; both
//           sets of rows bottom-up and padded to a multiple of 4 bytes, and
//           biHeight counting both, so twice the image's height
//   PNG     a whole PNG stream, told apart by its 8-byte signature; it is
//           handed back undecoded for the toolkit's own PNG reader
//
//   BITMAPINFOHEADER   biSize                       32-bit, 40 or more
//                      biWidth, biHeight            32-bit signed
//                      biPlanes, biBitCount         16-bit each
//                      biCompression, biSizeImage   32-bit each
//                      biXPelsPerMeter, biYPels...  32-bit each
//                      biClrUsed, biClrImportant    32-bit each
//   RGBQUAD            blue, green, red, reserved   8-bit each
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ui/framework/binary_reader.h"
#include "ui/framework/icon_group.h"
#include "ui/framework/resource_file.h"

namespace framework {

// The largest width or height accepted, in pixels. Icons go up to 256; the
// margin allows for large ones while keeping a hostile header from asking
// for gigabytes.
inline constexpr int kMaxIconSide = 1024;

// Decoded pixels: `width` × `height` values of 0xAARRGGBB, not premultiplied,
// row by row from the top, each row left to right.
struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};

enum class IconImageFormat { kBitmap, kPng };

// One icon image as DecodeIconImage found it.
struct DecodedIconImage {
  IconImageFormat format = IconImageFormat::kBitmap;
  // The size in pixels, from the bitmap header or the PNG's IHDR chunk.
  int width = 0;
  int height = 0;
  // kBitmap: the decoded pixels. kPng: empty.
  IconImage bitmap;
  // kPng: the whole PNG stream, a view into the bytes given to
  // DecodeIconImage. kBitmap: empty.
  std::span<const std::byte> png;
};

// Decodes `bytes`, the data of one kResourceTypeIcon resource.
//
// Bitmaps of 1, 4, 8, 24 and 32 bits per pixel, uncompressed, are decoded.
// The palette has biClrUsed entries, or 2^bits when that is 0; at 24 and 32
// bits, biClrUsed entries that only serve palette displays are skipped. At 32
// bits the fourth byte of each pixel is its alpha, unless every pixel's is 0:
// then, as at other depths, the AND mask decides, and a pixel whose mask bit
// is 1 becomes 0x00000000 while the others are opaque. The mask must be
// present at every depth. Bytes after the mask are ignored.
//
// Data that starts with the PNG signature is returned as kPng with the whole
// of `bytes` and the width and height of its IHDR chunk; nothing else of the
// PNG is checked.
//
// Returns the image, or why it cannot be decoded:
//   kTruncated       the bytes end inside the header, the palette, the
//                    colour rows or the mask, or a PNG ends inside IHDR
//   kSizeOutOfRange  biSize runs past the end of the bytes, or the width or
//                    height is above kMaxIconSide
//   kBadSignature    biSize below 40, biPlanes not 1, a bit count other
//                    than 1, 4, 8, 24 or 32, compression other than none, or
//                    a PNG whose first chunk is not a 13-byte IHDR
//   kMalformed       a width or height of 0 or less (negative biHeight, the
//                    top-down layout, included), an odd biHeight, a palette
//                    larger than the bit count can index, or a pixel whose
//                    index lies past the palette
Parsed<DecodedIconImage> DecodeIconImage(std::span<const std::byte> bytes);

// Picks the image of `group` to show at `wanted_size` pixels square: one of
// exactly that size, else the smallest larger one, else the largest. Among
// images of the chosen size the one with the highest bit_count wins, then the
// first listed. An image's size is the larger of its width and height, and
// only an image wanted_size wide and high is of exactly that size.
//
// Returns a pointer into `group`, or nullptr when the group has no images.
const IconGroupEntry* PickIconImage(const IconGroup& group, int wanted_size);

// Loads the image of icon group `group_id` best shown at `wanted_size`: finds
// the group and then the image that PickIconImage chooses, each as
// ResourceFile::Find does for `language`, and decodes it. A kPng result's
// bytes point into the buffer that `resources` views.
//
// Returns nothing when there is no group `group_id`, the group lists no
// images, or the chosen image's resource is missing. Otherwise returns the
// image, or the error of IconGroup::Parse or of DecodeIconImage.
std::optional<Parsed<DecodedIconImage>> LoadIconImage(const ResourceFile& resources,
                                                      std::uint16_t group_id,
                                                      std::uint16_t language, int wanted_size);

}  // namespace framework
