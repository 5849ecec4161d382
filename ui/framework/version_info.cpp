#include "ui/framework/version_info.h"

#include <cstddef>
#include <utility>

namespace framework {
namespace {

constexpr std::uint16_t kTextType = 1;
// wLength, wValueLength and wType.
constexpr std::uint16_t kSmallestNode = 6;
constexpr std::size_t kFixedFileInfoBytes = 52;

// One node of the tree, its value and children still as bytes.
struct Node {
  std::u16string key;
  std::uint16_t type = 0;
  std::span<const std::byte> value;
  BinaryReader children{std::span<const std::byte>()};
};

// Reads the node at the position of `parent`, a multiple of 4.
Parsed<Node> ReadNode(BinaryReader& parent) {
  BinaryReader peek = parent;
  const std::uint16_t length = peek.ReadU16();
  if (!peek.ok()) {
    return ResourceError::kTruncated;
  }
  if (length < kSmallestNode) {
    return ResourceError::kMalformed;
  }
  BinaryReader node = parent.ReadSubReader(length);
  if (!parent.ok()) {
    return parent.error();
  }

  Node result;
  node.ReadU16();  // wLength, already read
  const std::uint16_t value_length = node.ReadU16();
  result.type = node.ReadU16();
  result.key = node.ReadString();
  if (!node.ok()) {
    return node.error();
  }
  node.AlignTo(4);
  const std::size_t value_bytes =
      result.type == kTextType ? std::size_t{value_length} * 2 : std::size_t{value_length};
  result.value = node.ReadBytes(value_bytes, ResourceError::kSizeOutOfRange);
  if (!node.ok()) {
    return node.error();
  }
  result.children = node;
  return result;
}

// Calls `visit` with each child of `node` in order; stops at and returns the
// first failure, of reading or of `visit`.
template <typename Visit>
std::optional<ResourceError> ForEachChild(Node& node, Visit visit) {
  while (true) {
    node.children.AlignTo(4);
    if (node.children.remaining() == 0) {
      return std::nullopt;
    }
    Parsed<Node> child = ReadNode(node.children);
    if (!child) {
      return child.error();
    }
    Node value = std::move(child).value();
    if (std::optional<ResourceError> error = visit(value)) {
      return error;
    }
  }
}

// A text value up to its first NUL.
std::u16string TextOf(std::span<const std::byte> value) {
  BinaryReader reader(value);
  std::u16string text;
  while (reader.remaining() >= 2) {
    const char16_t unit = reader.ReadU16();
    if (unit == 0) {
      break;
    }
    text += unit;
  }
  return text;
}

char16_t AsciiLower(char16_t unit) {
  return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

Parsed<FixedFileInfo> ReadFixedFileInfo(std::span<const std::byte> value) {
  if (value.size() != kFixedFileInfoBytes) {
    return ResourceError::kMalformed;
  }
  BinaryReader reader(value);
  FixedFileInfo fixed;
  fixed.signature = reader.ReadU32();
  fixed.struct_version = reader.ReadU32();
  fixed.file_version_ms = reader.ReadU32();
  fixed.file_version_ls = reader.ReadU32();
  fixed.product_version_ms = reader.ReadU32();
  fixed.product_version_ls = reader.ReadU32();
  fixed.file_flags_mask = reader.ReadU32();
  fixed.file_flags = reader.ReadU32();
  fixed.file_os = reader.ReadU32();
  fixed.file_type = reader.ReadU32();
  fixed.file_subtype = reader.ReadU32();
  fixed.file_date_ms = reader.ReadU32();
  fixed.file_date_ls = reader.ReadU32();
  if (fixed.signature != kFixedFileInfoSignature) {
    return ResourceError::kBadSignature;
  }
  return fixed;
}

std::optional<ResourceError> ReadStringFileInfo(Node& node, VersionInfo& info) {
  return ForEachChild(node, [&info](Node& table_node) -> std::optional<ResourceError> {
    VersionStringTable table;
    table.key = table_node.key;
    std::optional<ResourceError> error =
        ForEachChild(table_node, [&table](Node& string_node) -> std::optional<ResourceError> {
          table.strings.push_back({string_node.key, TextOf(string_node.value)});
          return std::nullopt;
        });
    if (!error) {
      info.string_tables.push_back(std::move(table));
    }
    return error;
  });
}

std::optional<ResourceError> ReadVarFileInfo(Node& node, VersionInfo& info) {
  return ForEachChild(node, [&info](Node& var) -> std::optional<ResourceError> {
    if (var.key != u"Translation") {
      return std::nullopt;
    }
    if (var.value.size() % 4 != 0) {
      return ResourceError::kMisaligned;
    }
    BinaryReader pairs(var.value);
    while (pairs.remaining() > 0) {
      VersionTranslation translation;
      translation.language = pairs.ReadU16();
      translation.code_page = pairs.ReadU16();
      info.translations.push_back(translation);
    }
    return std::nullopt;
  });
}

}  // namespace

Parsed<VersionInfo> VersionInfo::Parse(std::span<const std::byte> bytes) {
  BinaryReader block(bytes);
  Parsed<Node> root = ReadNode(block);
  if (!root) {
    return root.error();
  }
  Node node = std::move(root).value();
  if (node.key != u"VS_VERSION_INFO") {
    return ResourceError::kBadSignature;
  }

  VersionInfo info;
  if (!node.value.empty()) {
    Parsed<FixedFileInfo> fixed = ReadFixedFileInfo(node.value);
    if (!fixed) {
      return fixed.error();
    }
    info.fixed = *fixed;
  }
  std::optional<ResourceError> error =
      ForEachChild(node, [&info](Node& child) -> std::optional<ResourceError> {
        if (child.key == u"StringFileInfo") {
          return ReadStringFileInfo(child, info);
        }
        if (child.key == u"VarFileInfo") {
          return ReadVarFileInfo(child, info);
        }
        return std::nullopt;
      });
  if (error) {
    return *error;
  }
  return info;
}

const std::u16string* VersionInfo::FindString(std::u16string_view table_key,
                                              std::u16string_view name) const {
  for (const VersionStringTable& table : string_tables) {
    if (!EqualIgnoringAsciiCase(table.key, table_key)) {
      continue;
    }
    for (const VersionString& field : table.strings) {
      if (EqualIgnoringAsciiCase(field.name, name)) {
        return &field.value;
      }
    }
  }
  return nullptr;
}

}  // namespace framework
