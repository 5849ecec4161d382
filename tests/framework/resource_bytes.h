// Helpers for the resource reader tests: a little-endian byte builder for
// hand-made fixtures, a hex dump for failure messages, and gtest printers
// for the reader's own types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/binary_reader.h"

namespace framework {

// The whole of the file at `path`; empty if it cannot be read.
inline std::vector<std::byte> ReadFileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> chars((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) bytes[i] = static_cast<std::byte>(chars[i]);
  return bytes;
}

// So that gtest names an error rather than printing its number.
inline void PrintTo(ResourceError error, std::ostream* os) { *os << Describe(error); }

}  // namespace framework

namespace resource_test {

// Builds resource bytes field by field, as the resource compiler lays them
// out: little-endian, strings as UTF-16 with their NUL.
class Bytes {
 public:
  Bytes& U8(std::uint8_t value) {
    bytes_.push_back(static_cast<std::byte>(value));
    return *this;
  }
  Bytes& U16(std::uint16_t value) { return U8(value & 0xFF).U8(value >> 8); }
  Bytes& U32(std::uint32_t value) {
    return U16(static_cast<std::uint16_t>(value)).U16(static_cast<std::uint16_t>(value >> 16));
  }
  // The code units of `text` and a NUL.
  Bytes& Str(std::u16string_view text) {
    for (char16_t unit : text) {
      U16(unit);
    }
    return U16(0);
  }
  // The code units of `text` without a NUL.
  Bytes& Units(std::u16string_view text) {
    for (char16_t unit : text) {
      U16(unit);
    }
    return *this;
  }
  // A string-or-ordinal field holding an ordinal.
  Bytes& Ordinal(std::uint16_t ordinal) { return U16(0xFFFF).U16(ordinal); }
  Bytes& Append(const Bytes& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    return *this;
  }
  // Zero bytes up to the next multiple of `alignment`.
  Bytes& Align(std::size_t alignment) {
    while (bytes_.size() % alignment != 0) {
      U8(0);
    }
    return *this;
  }
  // Overwrites the 16- or 32-bit field at `offset`.
  Bytes& SetU16(std::size_t offset, std::uint16_t value) {
    bytes_.at(offset) = static_cast<std::byte>(value & 0xFF);
    bytes_.at(offset + 1) = static_cast<std::byte>(value >> 8);
    return *this;
  }
  Bytes& SetU32(std::size_t offset, std::uint32_t value) {
    SetU16(offset, static_cast<std::uint16_t>(value));
    return SetU16(offset + 2, static_cast<std::uint16_t>(value >> 16));
  }
  // Drops everything from `size` on.
  Bytes& Truncate(std::size_t size) {
    bytes_.resize(size);
    return *this;
  }

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::byte> span() const { return bytes_; }
  operator std::span<const std::byte>() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
};

// Returns `bytes` as space-separated hex pairs, 16 to a line, so that a
// failing fixture can be read in the test output.
inline std::string Hex(std::span<const std::byte> bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", std::to_integer<unsigned>(bytes[i]));
    out += i == 0 ? "" : (i % 16 == 0 ? "\n" : " ");
    out += pair;
  }
  return out;
}

}  // namespace resource_test
