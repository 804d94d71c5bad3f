#include <gtest/gtest.h>

#include <cmath>

#include "kord/decode.h"
#include "kord_fixture.h"

using namespace kord;
using kordtest::Bytes;

namespace {
const uint8_t* U(const std::string& s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}
}  // namespace

TEST(Real48, ExactByteVectors) {
  struct Case {
    std::string bytes;
    double value;
  } cases[] = {
      {Bytes({0x81, 0, 0, 0, 0, 0}), 1.0},
      {Bytes({0x81, 0, 0, 0, 0, 0xC0}), -1.5},
      {Bytes({0x94, 0, 0, 0xA0, 0x55, 0x29}), 693594},
      {Bytes({0x94, 0, 0, 0x08, 0x85, 0x32}), 731216.5},
      {Bytes({0, 0x12, 0x34, 0x56, 0x78, 0x9A}), 0},  // exponent 0 is zero whatever follows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(DecodeReal48(U(c.bytes)), c.value);
    if (c.value != 0) {
      uint8_t enc[6];
      EncodeReal48(c.value, enc);
      EXPECT_EQ(std::string(reinterpret_cast<char*>(enc), 6), c.bytes);
    }
  }
  uint8_t enc[6];
  for (double v : {0.1, -123456.789, 1e-30, 3.0e30}) {
    EncodeReal48(v, enc);
    EXPECT_NEAR(DecodeReal48(enc), v, std::fabs(v) * 1e-11);
  }
}

TEST(ScaledInteger, SignAndScale) {
  struct Case {
    std::string bytes;
    int dec;
    double value;
  } cases[] = {
      {Bytes({0x00, 0x00, 0x01, 0xE2, 0x40}), 2, 1234.56},
      {Bytes({0xFF, 0xFF, 0xFE, 0x1D, 0xC0}), 2, -1234.56},
      {Bytes({0x00, 0x7B}), 2, 1.23},
      {Bytes({0xFF, 0x85}), 2, -1.23},
      {Bytes({0x80}), 2, -1.28},
      {Bytes({0x80}), 0, -128},
      {Bytes({0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 0, 9223372036854775807.0},
      {Bytes({0x00, 0x01}), 16, 1e-16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_DOUBLE_EQ(DecodeScaled(U(c.bytes), static_cast<int>(c.bytes.size()), c.dec), c.value);
  }
}

TEST(PackedDigits, NibblesToText) {
  struct Case {
    std::string bytes;
    int digits;
    const char* text;
  } cases[] = {
      {Bytes({0x12, 0x34, 0x50}), 5, "12345"},
      {Bytes({0x12, 0x34, 0x50}), 6, "123450"},
      {Bytes({0x1A}), 2, "110"},
      {Bytes({0x1A}), 1, "11"},
      {Bytes({0xFF}), 2, "1515"},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecodePackedDigits(U(c.bytes), static_cast<int>(c.bytes.size()), c.digits), c.text);
  }
}

TEST(CodePages, RecodeTables) {
  struct Case {
    TCodingType mode;
    int dos;
    int win;
  } cases[] = {
      {TCodingType::emKamenicky, 0x80, 0xC8}, {TCodingType::emKamenicky, 0xA0, 0xE1},
      {TCodingType::emKamenicky, 0xB3, 0xA4}, {TCodingType::emKamenicky, 0xFE, 0x5F},
      {TCodingType::emKamenicky, 0x87, 0xE8}, {TCodingType::emKamenicky, 0xAC, 0xC8},
      {TCodingType::emKamenicky, 0xAD, 0xBA}, {TCodingType::emKamenicky, 0xFF, 0x20},
      {TCodingType::emLatin2, 0x80, 0xC7},    {TCodingType::emLatin2, 0xAC, 0xC8},
      {TCodingType::emLatin2, 0xFA, 0xB7},    {TCodingType::emLatin2, 0xFE, 0xA4},
      {TCodingType::emLatin2, 0x87, 0xE7},    {TCodingType::emLatin2, 0xAA, 0xA0},
      {TCodingType::emLatin2, 0xFF, 0x20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dos);
    EXPECT_EQ(RecodeChar(c.mode, static_cast<unsigned char>(c.dos)), c.win);
  }
  std::string ascii;
  for (int b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);
  EXPECT_EQ(RecodeText(TCodingType::emKamenicky, ascii), ascii);
  EXPECT_EQ(RecodeText(TCodingType::emLatin2, ascii), ascii);
  // Latin 2 box drawing (29 characters) all give the currency sign.
  int currency = 0;
  for (int b = 0x80; b < 0x100; ++b)
    currency += RecodeChar(TCodingType::emLatin2, static_cast<unsigned char>(b)) == 0xA4;
  EXPECT_EQ(currency, 29 + 1);  // and the currency sign itself (DOS 0xCF)
}

TEST(Dates, DayNumbers) {
  EXPECT_EQ(DayNumberToDateTime(693594), 0);
  EXPECT_EQ(DayNumberToDateTime(693594 + 37622.5), 37622.5);
  EXPECT_EQ(DayNumberToDateTime(693594 - 0.75), -1.25);  // 29.12.1899 06:00
  EXPECT_EQ(DayNumberToDateTime(1), -693593);
}
