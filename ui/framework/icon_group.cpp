#include "ui/framework/icon_group.h"

namespace framework {
namespace {

constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kEntryBytes = 14;

}  // namespace

Parsed<IconGroup> IconGroup::Parse(std::span<const std::byte> bytes) {
  BinaryReader reader(bytes);
  const std::uint16_t reserved = reader.ReadU16();
  const std::uint16_t type = reader.ReadU16();
  const std::uint16_t count = reader.ReadU16();
  if (!reader.ok()) {
    return reader.error();
  }
  if (reserved != 0 || type != kIconType) {
    return ResourceError::kBadSignature;
  }
  if (std::size_t{count} * kEntryBytes > reader.remaining()) {
    return ResourceError::kTruncated;
  }

  IconGroup group;
  group.entries.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    IconGroupEntry entry;
    entry.width = reader.ReadU8();
    entry.height = reader.ReadU8();
    entry.color_count = reader.ReadU8();
    entry.reserved = reader.ReadU8();
    entry.planes = reader.ReadU16();
    entry.bit_count = reader.ReadU16();
    entry.bytes_in_res = reader.ReadU32();
    entry.id = reader.ReadU16();
    group.entries.push_back(entry);
  }
  return group;
}

}  // namespace framework
