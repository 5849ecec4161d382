// Links the checksum rules with nothing but the standard library, to show
// that core/ needs no other part of the program.
#include <cstdio>

#include "core/checksum.h"

int main() {
  const bool ok = ComputeChecksumText(u"0300300002337A") == "1E" && FormatLengthText(14) == "14";
  std::puts(ok ? "core builds on its own" : "core gives a wrong answer");
  return ok ? 0 : 1;
}
