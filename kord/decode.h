// Pure decoders of Kord field bytes and DOS code pages; no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kord {

enum class TCodingType : uint8_t { emKamenicky, emLatin2 };

// The value of a 6-byte real (layout in format.h).
double DecodeReal48(const uint8_t* bytes);
// The nearest 6-byte real to `value` (for writers of test data and tools).
void EncodeReal48(double value, uint8_t* bytes);

// A big-endian two's complement integer of 1 to 8 bytes, scaled by 10^-decDigits.
double DecodeScaled(const uint8_t* bytes, int size, int decDigits);
int64_t DecodeBigEndianSigned(const uint8_t* bytes, int size);

// Packed digits: per byte the decimal text of the high, then the low nibble;
// the last character dropped when `digits` is odd.
std::string DecodePackedDigits(const uint8_t* bytes, int size, int digits);

// A D field's stored day number as a date-time number (days since 30.12.1899).
double DayNumberToDateTime(double dayNumber);

// Windows-1250 byte for a DOS byte in the code page `mode` (bytes < 0x80 unchanged).
unsigned char RecodeChar(TCodingType mode, unsigned char c);
std::string RecodeText(TCodingType mode, std::string_view text);

}  // namespace kord
