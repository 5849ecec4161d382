// Reads a compiled 32-bit resource file (.res): the output of the resource
// compiler that the Linux build embeds, so that dialogs, strings and icons
// are looked up by type, ID and language the same way the Windows build
// finds them in its executable.
//
// A .res file is a run of entries, each a variable-length header and then
// the resource's bytes, both padded to a multiple of 4:
//
//   DataSize, HeaderSize       32-bit; HeaderSize counts both of these too
//   TYPE, NAME                 each 0xFFFF + 16-bit ordinal, or a UTF-16
//                              string with its NUL; then padding to 4
//   DataVersion                32-bit
//   MemoryFlags, LanguageId    16-bit each
//   Version, Characteristics   32-bit each
//   data                       DataSize bytes, then padding to 4
//
// The first entry is an empty marker (DataSize 0, HeaderSize 32, type and
// name ordinal 0) that tells a 32-bit file from a 16-bit one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/framework/binary_reader.h"

namespace framework {

// Ordinals of the predefined resource types this program uses.
inline constexpr std::uint16_t kResourceTypeIcon = 3;
inline constexpr std::uint16_t kResourceTypeDialog = 5;
inline constexpr std::uint16_t kResourceTypeString = 6;
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;
inline constexpr std::uint16_t kResourceTypeVersion = 16;
inline constexpr std::uint16_t kResourceTypeManifest = 24;

// One resource of a .res file: its header fields and a view of its bytes
// inside the file's buffer.
struct ResourceEntry {
  NameOrOrdinal type;
  NameOrOrdinal name;
  std::uint16_t language = 0;
  std::uint32_t data_version = 0;
  std::uint16_t memory_flags = 0;
  std::uint32_t version = 0;
  std::uint32_t characteristics = 0;
  std::span<const std::byte> data;
};

// The resources of a .res file held in memory. The object does not own the
// bytes: they must outlive it and every span it hands out.
class ResourceFile {
 public:
  // Reads the entries of the .res file in `bytes`.
  //
  // Returns the file, or why it cannot be read: kTruncated when the bytes end
  // inside an entry's header, kMisaligned when a HeaderSize is not a multiple
  // of 4, kMalformed when a HeaderSize is too small for the fields it must
  // hold, kUnterminatedString when a type or name string has no NUL inside
  // its header, kSizeOutOfRange when a DataSize runs past the end, and
  // kBadSignature when the file does not start with the empty marker entry.
  // Missing padding after the last entry is accepted.
  static Parsed<ResourceFile> Parse(std::span<const std::byte> bytes);

  // Returns every entry after the marker, in file order.
  const std::vector<ResourceEntry>& entries() const { return entries_; }

  // Returns the first entry whose type and name are the ordinals `type` and
  // `id` and whose language is `language`, or nullptr if there is none.
  const ResourceEntry* FindExact(std::uint16_t type, std::uint16_t id,
                                 std::uint16_t language) const;

  // Finds resource `id` of type `type` as the window system does for a
  // program running in `preferred_language`: the entry in exactly that
  // language if there is one, else the first entry of that type and ID in
  // any language. Returns nullptr if there is no such resource at all.
  const ResourceEntry* Find(std::uint16_t type, std::uint16_t id,
                            std::uint16_t preferred_language) const;

  // Returns string `string_id` from the string table. String n is entry
  // n % 16 of the string block with ID n / 16 + 1; the block is chosen as
  // Find chooses it, so an empty string in the preferred language's block
  // does not fall back to another language. Returns an empty string when the
  // block is missing or malformed or the string is empty.
  std::u16string FindString(std::uint16_t string_id, std::uint16_t preferred_language) const;

 private:
  explicit ResourceFile(std::vector<ResourceEntry> entries) : entries_(std::move(entries)) {}

  std::vector<ResourceEntry> entries_;
};

// Reads entry `index` (0 to 15) of a string block, the data of a
// kResourceTypeString resource: 16 strings, each a 16-bit count of UTF-16
// code units followed by that many units, with no terminator.
//
// Returns the string, possibly empty; kTruncated when the block ends before
// the entry's count; kSizeOutOfRange when a count runs past the end of the
// block or `index` is above 15.
Parsed<std::u16string> ReadStringTableEntry(std::span<const std::byte> block, unsigned index);

}  // namespace framework
