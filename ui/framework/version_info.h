// Reads a version block, the data of a kResourceTypeVersion resource: the
// file and product versions, flags and target system as numbers, the text
// fields that the About box and file properties show, and the translations
// those texts come in.
//
// The block is a tree of nodes, each starting at a multiple of 4 from the
// block's start:
//
//   wLength        16-bit size of the node with its children, without the
//                  padding that follows it
//   wValueLength   16-bit size of the value: in code units (with the NUL)
//                  for text, in bytes for binary
//   wType          1 for a text value, 0 for binary
//   szKey          UTF-16 with its NUL, then padding to 4
//   value          then padding to 4
//   children       nodes, to the end of the node
//
// The root "VS_VERSION_INFO" holds the fixed part (VS_FIXEDFILEINFO) as its
// value and has the children "StringFileInfo", whose children are string
// tables keyed by language and code page ("080404b0") holding one text node
// per field, and "VarFileInfo", whose "Translation" child lists 16-bit
// language and code page pairs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/binary_reader.h"

namespace framework {

// The value every FixedFileInfo::signature holds.
inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The numeric part of a version block. Each version is two 32-bit halves,
// the most significant ("ms") holding the first two 16-bit parts: 1.0.0.1 is
// ms 0x00010000, ls 0x00000001.
struct FixedFileInfo {
  std::uint32_t signature = 0;
  std::uint32_t struct_version = 0;
  std::uint32_t file_version_ms = 0;
  std::uint32_t file_version_ls = 0;
  std::uint32_t product_version_ms = 0;
  std::uint32_t product_version_ls = 0;
  std::uint32_t file_flags_mask = 0;
  std::uint32_t file_flags = 0;
  std::uint32_t file_os = 0;
  std::uint32_t file_type = 0;
  std::uint32_t file_subtype = 0;
  std::uint32_t file_date_ms = 0;
  std::uint32_t file_date_ls = 0;

  bool operator==(const FixedFileInfo&) const = default;
};

// One text field of a string table, such as "FileVersion" = "1.0.0.1".
struct VersionString {
  std::u16string name;
  std::u16string value;

  bool operator==(const VersionString&) const = default;
};

// The text fields in one language and code page. `key` is those two as
// eight hexadecimal digits, e.g. "080404b0" for 0x0804 and 1200 (UTF-16).
struct VersionStringTable {
  std::u16string key;
  std::vector<VersionString> strings;

  bool operator==(const VersionStringTable&) const = default;
};

// One language and code page pair of the Translation list.
struct VersionTranslation {
  std::uint16_t language = 0;
  std::uint16_t code_page = 0;

  bool operator==(const VersionTranslation&) const = default;
};

// A whole version block.
struct VersionInfo {
  // Absent when the root node has no value.
  std::optional<FixedFileInfo> fixed;
  std::vector<VersionStringTable> string_tables;
  std::vector<VersionTranslation> translations;

  // Reads the version block in `bytes`, the data of a version resource.
  // Children with keys other than those described above are skipped.
  //
  // Returns the block, or why it cannot be read: kTruncated when fewer than
  // 2 bytes are left where a node's wLength should be; kMalformed when a
  // wLength is below 6, the smallest node, or the fixed part is not 52
  // bytes; kSizeOutOfRange when a node runs past its parent or a value past
  // its node; kUnterminatedString when a key has no NUL inside its node;
  // kBadSignature when the root key is not "VS_VERSION_INFO" or the fixed
  // part's signature is not kFixedFileInfoSignature; kMisaligned when the
  // Translation value is not a whole number of pairs.
  static Parsed<VersionInfo> Parse(std::span<const std::byte> bytes);

  // Returns the value of text field `name` in the string table with key
  // `table_key`, or nullptr when there is no such table or field. Both are
  // compared ignoring the case of ASCII letters, as the window system
  // compares them: "080404B0" finds the table "080404b0".
  const std::u16string* FindString(std::u16string_view table_key, std::u16string_view name) const;
};

}  // namespace framework
