#include "ui/framework/resource_file.h"

#include <utility>

namespace framework {
namespace {

// DataSize and HeaderSize, which HeaderSize counts.
constexpr std::size_t kSizeFieldsBytes = 8;
constexpr std::uint32_t kMarkerHeaderSize = 32;

bool IsOrdinal(const NameOrOrdinal& field, std::uint16_t ordinal) {
  return OrdinalOf(field) == ordinal;
}

// Reads one entry at the reader's position, which is a multiple of 4, and
// leaves the reader at the next entry.
Parsed<ResourceEntry> ReadEntry(BinaryReader& file) {
  const std::uint32_t data_size = file.ReadU32();
  const std::uint32_t header_size = file.ReadU32();
  if (!file.ok()) {
    return ResourceError::kTruncated;
  }
  if (header_size % 4 != 0) {
    return ResourceError::kMisaligned;
  }
  if (header_size < kSizeFieldsBytes) {
    return ResourceError::kMalformed;
  }
  if (header_size - kSizeFieldsBytes > file.remaining()) {
    return ResourceError::kTruncated;
  }

  BinaryReader header = file.ReadSubReader(header_size - kSizeFieldsBytes);
  ResourceEntry entry;
  entry.type = header.ReadNameOrOrdinal();
  entry.name = header.ReadNameOrOrdinal();
  header.AlignTo(4);
  entry.data_version = header.ReadU32();
  entry.memory_flags = header.ReadU16();
  entry.language = header.ReadU16();
  entry.version = header.ReadU32();
  entry.characteristics = header.ReadU32();
  if (!header.ok()) {
    // The header is all present, so running out of it means HeaderSize is
    // too small for its own fields.
    return header.error() == ResourceError::kUnterminatedString ? header.error()
                                                                : ResourceError::kMalformed;
  }

  entry.data = file.ReadBytes(data_size, ResourceError::kSizeOutOfRange);
  if (!file.ok()) {
    return file.error();
  }
  file.AlignTo(4);
  return entry;
}

}  // namespace

Parsed<ResourceFile> ResourceFile::Parse(std::span<const std::byte> bytes) {
  BinaryReader file(bytes);
  Parsed<ResourceEntry> marker = ReadEntry(file);
  if (!marker) {
    return marker.error();
  }
  if (!marker->data.empty() || file.offset() != kMarkerHeaderSize || !IsOrdinal(marker->type, 0) ||
      !IsOrdinal(marker->name, 0)) {
    return ResourceError::kBadSignature;
  }

  std::vector<ResourceEntry> entries;
  while (file.remaining() > 0) {
    Parsed<ResourceEntry> entry = ReadEntry(file);
    if (!entry) {
      return entry.error();
    }
    entries.push_back(std::move(entry).value());
  }
  return ResourceFile(std::move(entries));
}

const ResourceEntry* ResourceFile::FindExact(std::uint16_t type, std::uint16_t id,
                                             std::uint16_t language) const {
  for (const ResourceEntry& entry : entries_) {
    if (entry.language == language && IsOrdinal(entry.type, type) && IsOrdinal(entry.name, id)) {
      return &entry;
    }
  }
  return nullptr;
}

const ResourceEntry* ResourceFile::Find(std::uint16_t type, std::uint16_t id,
                                        std::uint16_t preferred_language) const {
  if (const ResourceEntry* exact = FindExact(type, id, preferred_language)) {
    return exact;
  }
  for (const ResourceEntry& entry : entries_) {
    if (IsOrdinal(entry.type, type) && IsOrdinal(entry.name, id)) {
      return &entry;
    }
  }
  return nullptr;
}

std::u16string ResourceFile::FindString(std::uint16_t string_id,
                                        std::uint16_t preferred_language) const {
  const auto block_id = static_cast<std::uint16_t>(string_id / 16 + 1);
  const ResourceEntry* block = Find(kResourceTypeString, block_id, preferred_language);
  if (block == nullptr) {
    return {};
  }
  Parsed<std::u16string> text = ReadStringTableEntry(block->data, string_id % 16);
  return text ? std::move(text).value() : std::u16string();
}

Parsed<std::u16string> ReadStringTableEntry(std::span<const std::byte> block, unsigned index) {
  if (index > 15) {
    return ResourceError::kSizeOutOfRange;
  }
  BinaryReader reader(block);
  for (unsigned i = 0;; ++i) {
    const std::uint16_t length = reader.ReadU16();
    if (!reader.ok()) {
      return ResourceError::kTruncated;
    }
    std::span<const std::byte> units =
        reader.ReadBytes(std::size_t{length} * 2, ResourceError::kSizeOutOfRange);
    if (!reader.ok()) {
      return reader.error();
    }
    if (i == index) {
      BinaryReader text(units);
      std::u16string result;
      result.reserve(length);
      for (std::uint16_t unit = 0; unit < length; ++unit) {
        result += static_cast<char16_t>(text.ReadU16());
      }
      return result;
    }
  }
}

}  // namespace framework
