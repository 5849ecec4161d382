#include "ui/framework/binary_reader.h"

namespace framework {

std::string_view Describe(ResourceError error) {
  switch (error) {
    case ResourceError::kTruncated:
      return "truncated data";
    case ResourceError::kSizeOutOfRange:
      return "a size runs past the end of its container";
    case ResourceError::kMisaligned:
      return "a size is not a multiple of 4";
    case ResourceError::kUnterminatedString:
      return "a string has no terminating NUL";
    case ResourceError::kBadSignature:
      return "a signature, version or type field has the wrong value";
    case ResourceError::kMalformed:
      return "inconsistent sizes or layout";
  }
  return "unknown resource error";
}

std::optional<std::uint16_t> OrdinalOf(const NameOrOrdinal& field) {
  if (const std::uint16_t* ordinal = std::get_if<std::uint16_t>(&field)) {
    return *ordinal;
  }
  return std::nullopt;
}

void BinaryReader::Fail(ResourceError error) {
  if (!error_) {
    error_ = error;
  }
  offset_ = bytes_.size();
}

std::span<const std::byte> BinaryReader::ReadBytes(std::size_t count,
                                                   ResourceError error_if_short) {
  if (!ok() || count > remaining()) {
    Fail(error_if_short);
    return {};
  }
  std::span<const std::byte> result = bytes_.subspan(offset_, count);
  offset_ += count;
  return result;
}

std::uint8_t BinaryReader::ReadU8() {
  std::span<const std::byte> field = ReadBytes(1);
  return field.empty() ? 0 : std::to_integer<std::uint8_t>(field[0]);
}

std::uint16_t BinaryReader::ReadU16() {
  std::span<const std::byte> field = ReadBytes(2);
  if (field.empty()) {
    return 0;
  }
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(field[0]) |
                                    std::to_integer<unsigned>(field[1]) << 8);
}

std::int16_t BinaryReader::ReadI16() { return static_cast<std::int16_t>(ReadU16()); }

std::uint32_t BinaryReader::ReadU32() {
  std::span<const std::byte> field = ReadBytes(4);
  if (field.empty()) {
    return 0;
  }
  std::uint32_t value = 0;
  for (std::size_t i = field.size(); i > 0; --i) {
    value = value << 8 | std::to_integer<std::uint32_t>(field[i - 1]);
  }
  return value;
}

BinaryReader BinaryReader::ReadSubReader(std::size_t count) {
  return BinaryReader(ReadBytes(count, ResourceError::kSizeOutOfRange));
}

std::u16string BinaryReader::ReadString() {
  std::u16string text;
  while (ok()) {
    if (remaining() < 2) {
      Fail(text.empty() ? ResourceError::kTruncated : ResourceError::kUnterminatedString);
      return {};
    }
    const char16_t unit = ReadU16();
    if (unit == 0) {
      return text;
    }
    text += unit;
  }
  return {};
}

NameOrOrdinal BinaryReader::ReadNameOrOrdinal() {
  // Peek at the first unit: 0xFFFF marks an ordinal, anything else starts
  // the string itself. A failed peek reads 0, and ReadString then fails.
  BinaryReader peek = *this;
  if (peek.ReadU16() == 0xFFFF) {
    ReadU16();
    return ReadU16();
  }
  return ReadString();
}

void BinaryReader::AlignTo(std::size_t alignment) {
  const std::size_t misalignment = offset_ & (alignment - 1);
  if (misalignment == 0) {
    return;
  }
  const std::size_t padding = alignment - misalignment;
  offset_ = padding > remaining() ? bytes_.size() : offset_ + padding;
}

}  // namespace framework
