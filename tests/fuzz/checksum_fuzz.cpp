// Feeds arbitrary UTF-16 text to the checksum rules and compares the answer
// with the plain strtol-per-pair reference. Built with clang's libFuzzer,
// AddressSanitizer and UndefinedBehaviorSanitizer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/checksum.h"
#include "tests/support/strtol_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two bytes per code unit, little-endian; an odd last byte becomes a code
  // unit of its own so that odd lengths are reached too.
  std::u16string record;
  for (std::size_t i = 0; i < size; i += 2) {
    const unsigned high = i + 1 < size ? data[i + 1] : 0u;
    record += static_cast<char16_t>(data[i] | (high << 8));
  }
  const std::string actual = ComputeChecksumText(record);
  const std::string expected = tessel_test::StrtolChecksumText(record);
  if (actual != expected) {
    std::fprintf(stderr, "mismatch on %zu code units: got %s, strtol gives %s\n", record.size(),
                 actual.c_str(), expected.c_str());
    std::abort();
  }
  return 0;
}
