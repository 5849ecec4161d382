#include "core/checksum.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace {

constexpr std::int8_t kNotHex = -1;

// Value of each narrowed character as a hexadecimal digit, or kNotHex.
constexpr std::array<std::int8_t, 256> MakeHexDigitTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& value : table) value = kNotHex;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::int8_t>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::int8_t>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::int8_t>(c - 'A' + 10);
  return table;
}
constexpr std::array<std::int8_t, 256> kHexDigit = MakeHexDigitTable();

// The white space that strtol skips in the "C" locale. Written out rather than
// asking isspace(), whose answer depends on the process locale.
constexpr bool IsCSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads a pair that is not two hex digits. With only two characters, strtol's
// grammar reduces to these cases: a digit followed by anything else is that
// digit (this covers "0x", whose x ends the number after the 0); white space
// or a sign is followed by at most one digit; anything else reads no digit.
// A narrowed 0 ends the string, and is not a digit, so it needs no case.
int ReadIrregularPair(unsigned char first, unsigned char second) {
  const int firstDigit = kHexDigit[first];
  if (firstDigit != kNotHex) return firstDigit;
  const int secondDigit = kHexDigit[second];
  if (secondDigit == kNotHex) return 0;
  if (first == '-') return -secondDigit;
  if (first == '+' || IsCSpace(first)) return secondDigit;
  return 0;
}

}  // namespace

std::string ComputeChecksumText(std::u16string_view recordText) {
  if (recordText.size() % 2 != 0) return "Error";

  // Unsigned arithmetic wraps by definition; only the low byte is kept, and
  // that is the same whether the sum is taken signed or unsigned.
  std::uint32_t sum = 0;
  const std::size_t size = recordText.size();
  for (std::size_t i = 0; i < size; i += 2) {
    const auto first = static_cast<unsigned char>(recordText[i] & 0xFF);
    const auto second = static_cast<unsigned char>(recordText[i + 1] & 0xFF);
    const int high = kHexDigit[first];
    const int low = kHexDigit[second];
    // kNotHex is negative, so one test tells whether both are digits.
    if ((high | low) >= 0) {
      sum += static_cast<std::uint32_t>(high * 16 + low);
    } else {
      sum += static_cast<std::uint32_t>(ReadIrregularPair(first, second));
    }
  }

  const std::uint32_t checksum = (0u - sum) & 0xFFu;
  constexpr char kUpperHex[] = "0123456789ABCDEF";
  return std::string{kUpperHex[checksum >> 4], kUpperHex[checksum & 0xF]};
}

std::string FormatLengthText(std::size_t count) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, count);
  return std::string(digits, result.ptr);
}
