// Reads an icon group, the data of a kResourceTypeGroupIcon resource: the
// directory that lists the images of one icon, each stored as its own
// kResourceTypeIcon resource. A window backend picks the image that suits a
// size and colour depth from it and loads that image by ID.
//
//   header  reserved (0), type (1 for icons), count       16-bit each
//   entry   width, height, colorCount, reserved           8-bit each
//           planes, bitCount                              16-bit each
//           bytesInRes                                    32-bit
//           nID                                           16-bit
//
// Entries are 14 bytes each, packed with no padding.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ui/framework/binary_reader.h"

namespace framework {

// One image of an icon group.
struct IconGroupEntry {
  // Pixel sizes as stored: 0 stands for 256. PixelWidth and PixelHeight
  // give the real sizes.
  std::uint8_t width = 0;
  std::uint8_t height = 0;
  std::uint8_t color_count = 0;  // palette size; 0 for 8 bits or more
  std::uint8_t reserved = 0;
  std::uint16_t planes = 0;
  std::uint16_t bit_count = 0;
  std::uint32_t bytes_in_res = 0;  // size of the kResourceTypeIcon resource
  std::uint16_t id = 0;            // ID of the kResourceTypeIcon resource

  // Return the width and height in pixels, 1 to 256.
  int PixelWidth() const { return width == 0 ? 256 : width; }
  int PixelHeight() const { return height == 0 ? 256 : height; }

  bool operator==(const IconGroupEntry&) const = default;
};

// The images of an icon group, in stored order.
struct IconGroup {
  std::vector<IconGroupEntry> entries;

  // Reads the icon group in `bytes`, the data of a group icon resource.
  //
  // Returns the group, or why it cannot be read: kTruncated when the bytes
  // end inside the header or hold fewer entries than it counts;
  // kBadSignature when the reserved field is not 0 or the type is not 1
  // (a cursor group, type 2, is not an icon). Bytes after the last entry are
  // ignored.
  static Parsed<IconGroup> Parse(std::span<const std::byte> bytes);
};

}  // namespace framework
