// Byte layout of Kord data and memo files. The full picture, with diagrams,
// is in doc/kord-format.md.
#pragma once

#include <cstdint>

namespace kord {

// Data file header: signed 32-bit record count (its absolute value counts),
// then the unsigned 16-bit record length; records follow directly.
constexpr int kHeaderSize = 6;
constexpr int kHeaderCountOffset = 0;
constexpr int kHeaderLengthOffset = 4;

// First byte of every record of an indexed table; 0 marks a live record.
constexpr uint8_t kLiveFlag = 0;

// Every scrambled text byte is stored combined with this byte by exclusive or.
constexpr uint8_t kScrambleMask = 0xA5;

// R and D fields: a 6-byte real. Byte 0 the exponent with this bias (0: the
// value 0); bytes 1..5 the mantissa, little-endian, the top bit of byte 5 the
// sign: value = ±(1 + m / 2^39) · 2^(e − bias).
constexpr int kReal48Bias = 129;
constexpr int kReal48Size = 6;

// Day number that D fields store for 30 December 1899 (day 1 = 1 January 1).
constexpr double kDateDelta = 693594.0;

// Memo text: unsigned 16-bit little-endian character count, then the bytes;
// a 0 byte starts a 4-byte little-endian continuation (the 0 its lowest byte):
// the absolute position in the memo file where the text goes on.
constexpr int kMemoLengthSize = 2;
constexpr int kMemoLinkSize = 4;

// T fields: signed 32-bit little-endian position of the text; 0 means none.
constexpr int kMemoRefSize = 4;

}  // namespace kord
