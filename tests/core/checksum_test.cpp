#include "core/checksum.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/strtol_reference.h"

namespace {

using namespace std::string_literals;

// Shows a record text in failure messages: ASCII as itself, everything else
// as \uXXXX, so a wide or invisible code unit is visible in the report.
std::string Printable(std::u16string_view text) {
  std::string out = "\"";
  for (char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7F) {
      out += static_cast<char>(unit);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
      out += escaped;
    }
  }
  return out + "\"";
}

struct ChecksumCase {
  std::u16string record;
  std::string expected;
};

TEST(ComputeChecksumText, GivesTheRecordChecksum) {
  const std::vector<ChecksumCase> cases = {
      // Whole records, with and without their checksum typed.
      {u"10010000214601360121470136007EFE09D21901", "40"},
      {u"0300300002337A", "1E"},
      {u"0300300002337A1E", "00"},
      {u"0100", "FF"},
      {u"00000001", "FF"},
      {u"00000001FF", "00"},
      // Empty and zero-only texts sum to 0.
      {u"", "00"},
      {u"00", "00"},
      {u"0000000000", "00"},
      // Any odd count is an error, whatever the characters.
      {u"0", "Error"},
      {u"ABC", "Error"},
      {u" ", "Error"},
      // Case does not matter.
      {u"ff", "01"},
      {u"FF", "01"},
      {u"aBcD", "88"},
      // A leading colon is just another character: ":1" reads no digit.
      {u":1000", "Error"},
      {u":10000", "00"},
      // Signs.
      {u"-1", "01"},
      {u"-F", "0F"},
      {u"+F", "F1"},
      {u"-F0F", "00"},
      {u"--", "00"},
      // White space before a digit is skipped; after one it ends the number.
      {u"  ", "00"},
      {u" A", "F6"},
      {u"A ", "F6"},
      {u"\tA", "F6"},
      {u"\nA\rA", "EC"},
      {u"\vA\fA", "EC"},
      // 0x and other non-digits.
      {u"0x", "00"},
      {u"0X", "00"},
      {u"x1", "00"},
      {u"GG", "00"},
      {u"1G", "FF"},
      // Code units are read by their low byte.
      {u"\u0131\u0130", "F0"},
      {u"\u0141\u0141", "56"},
      {u"\uFF11\uFF11", "00"},
      {u"\uFF41\u0131", "5F"},
      // A low byte of 0 ends the pair's text where it stands.
      {u"\u3000F", "00"},
      {u"F\u3000", "F1"},
      {u"\0\0"s, "00"},
      {u"1\0"s, "FF"},
      // Surrogates are code units like any other, paired or not.
      {u"\U00020441", "56"},
      {u"\xDA31\xDB30", "F0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComputeChecksumText(c.record), c.expected) << "record " << Printable(c.record);
  }
}

// The answer strtol gives in the "C" locale for every pair of narrowed
// characters: the rules' reference, whatever locale the test runs in later.
const std::vector<std::string>& CLocaleAnswers() {
  static const std::vector<std::string> answers = [] {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    std::vector<std::string> table;
    for (unsigned pair = 0; pair < 0x10000; ++pair) {
      const std::u16string record = {static_cast<char16_t>(pair >> 8),
                                     static_cast<char16_t>(pair & 0xFF)};
      table.push_back(tessel_test::StrtolChecksumText(record));
    }
    std::setlocale(LC_ALL, previous.c_str());
    return table;
  }();
  return answers;
}

// Every pair of narrowed characters against strtol's answers in "C".
void ExpectEveryPairMatchesStrtol(const char* localeName) {
  int mismatches = 0;
  for (unsigned pair = 0; pair < 0x10000; ++pair) {
    const std::u16string record = {static_cast<char16_t>(pair >> 8),
                                   static_cast<char16_t>(pair & 0xFF)};
    const std::string& expected = CLocaleAnswers()[pair];
    const std::string actual = ComputeChecksumText(record);
    if (actual != expected && ++mismatches <= 10) {
      ADD_FAILURE() << "locale " << localeName << ", record " << Printable(record) << ": got "
                    << actual << ", strtol in \"C\" gives " << expected;
    }
  }
  EXPECT_EQ(mismatches, 0) << "in locale " << localeName;
}

TEST(ComputeChecksumText, ReadsEveryPairLikeStrtolInTheCLocale) {
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  ExpectEveryPairMatchesStrtol("C");
}

// The program runs under the user's locale (GTK sets it from the
// environment), and the answers must not move with it. glibc's strtol reads
// the same in its UTF-8 locales as in "C", so there it is compared again
// directly; the Windows C runtime's skips U+00A0 as white space in code page
// 1252, so there only the "C" answers serve as the reference.
TEST(ComputeChecksumText, DoesNotChangeWithTheProcessLocale) {
  const char* const candidates[] = {"en_US.UTF-8", "de_DE.UTF-8", "C.UTF-8",
                                    "English_United States.1252", ".1252"};
  const char* chosen = nullptr;
  CLocaleAnswers();
  for (const char* name : candidates) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  ASSERT_NE(chosen, nullptr) << "no non-C locale installed; run tools/setup";
  ExpectEveryPairMatchesStrtol(chosen);
  if (std::string(chosen).find("UTF-8") != std::string::npos) {
    for (unsigned pair = 0; pair < 0x10000; ++pair) {
      const std::u16string record = {static_cast<char16_t>(pair >> 8),
                                     static_cast<char16_t>(pair & 0xFF)};
      ASSERT_EQ(ComputeChecksumText(record), tessel_test::StrtolChecksumText(record))
          << "locale " << chosen << ", record " << Printable(record);
    }
  }
  std::setlocale(LC_ALL, "C");
}

TEST(ComputeChecksumText, WrapsTheSumOnVeryLongTexts) {
  // 17,000,000 pairs of FF sum past 2^32, and as many of "-1" wrap below 0;
  // either way the checksum is the count mod 256.
  struct LongCase {
    std::u16string pair;
    std::size_t pairs;
    std::string expected;
  };
  const std::vector<LongCase> cases = {
      {u"FF", 17'000'000, "40"},  // 17,000,000 mod 256 = 0x40
      {u"-1", 17'000'000, "40"},
      {u"7F", 16'909'321, "89"},  // the signed sum would pass 2^31 - 1
  };
  for (const auto& c : cases) {
    std::u16string record;
    record.reserve(c.pair.size() * c.pairs);
    for (std::size_t i = 0; i < c.pairs; ++i) record += c.pair;
    EXPECT_EQ(ComputeChecksumText(record), c.expected) << c.pairs << " times " << Printable(c.pair);
    EXPECT_EQ(ComputeChecksumText(record), tessel_test::StrtolChecksumText(record))
        << c.pairs << " times " << Printable(c.pair);
  }
}

TEST(FormatLengthText, WritesThePlainDecimalCount) {
  const struct {
    std::size_t count;
    std::string expected;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {14, "14"},
      {32767, "32767"},
      {1234567, "1234567"},
      {std::numeric_limits<std::uint32_t>::max(), "4294967295"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatLengthText(c.count), c.expected) << "count " << c.count;
}

TEST(FormatLengthText, CountsCodeUnitsNotCharacters) {
  // One emoji is a surrogate pair: two code units, so the field shows 2.
  const std::u16string_view emoji = u"\U0001F600";
  EXPECT_EQ(FormatLengthText(emoji.size()), "2");
  EXPECT_EQ(ComputeChecksumText(u"\U0001F600A"), "Error");
}

}  // namespace
