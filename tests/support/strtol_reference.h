// A plain checksum built on the C library's strtol, one call per pair: the
// yardstick that the tests, the fuzz target and the benchmark compare the
// real rules against. Deliberately naive; it follows the C library in the
// current locale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tessel_test {

// The value strtol gives for one pair of narrowed characters read in base 16.
inline long StrtolPairValue(char16_t first, char16_t second) {
  const char pair[3] = {static_cast<char>(first & 0xFF), static_cast<char>(second & 0xFF), '\0'};
  return std::strtol(pair, nullptr, 16);
}

// The checksum text of `recordText` computed with strtol and sprintf.
inline std::string StrtolChecksumText(std::u16string_view recordText) {
  if (recordText.size() % 2 != 0) return "Error";
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < recordText.size(); i += 2)
    sum += static_cast<std::uint32_t>(StrtolPairValue(recordText[i], recordText[i + 1]));
  char text[3];
  std::snprintf(text, sizeof text, "%02X", (0u - sum) & 0xFFu);
  return text;
}

}  // namespace tessel_test
