// The two text rules behind Tessel's window: the checksum of an Intel HEX
// record typed as hexadecimal text, and the character count shown beside the
// input field. Both are pure functions; they use no window system, no global
// state and no locale, so the same input always gives the same answer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Computes the checksum byte of a record typed without its leading colon.
//
// `recordText` is the record field's text as UTF-16 code units, unchecked:
// any code unit is valid input, unpaired surrogates included.
//
// Returns "Error" when the number of code units is odd. Otherwise the text is
// read as pairs of code units; each code unit is narrowed to its low 8 bits
// and each pair is read by itself as a base-16 number the way C's `strtol`
// reads it: leading white space skipped, then an optional sign, an optional
// "0x" and the hexadecimal digits that follow, stopping at the first other
// character or at a narrowed 0, and giving 0 where no digit was read. So
// "GG" counts 0, " A" counts 10 and "-F" counts -15. The values are summed
// with 32-bit wrap-around, and the result is the low byte of the negated sum
// as exactly two uppercase hexadecimal digits: "1E" for "0300300002337A",
// and "00" for an empty text or a record typed with its correct checksum.
std::string ComputeChecksumText(std::u16string_view recordText);

// Writes `count` (a number of code units) as a decimal number: no sign, no
// leading zeros, no digit grouping. 0 gives "0"; 32767 gives "32767".
std::string FormatLengthText(std::size_t count);
