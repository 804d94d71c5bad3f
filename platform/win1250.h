// Windows-1250 text, the internal text of both programs: conversion to and
// from UTF-8 and the locale-aware ANSI upper-casing of the code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Unicode code point of a Windows-1250 byte; the five bytes the code page
// leaves unassigned (0x81, 0x83, 0x88, 0x90, 0x98) give U+FFFD.
char32_t Win1250ToCodePoint(unsigned char byte);

// UTF-8 form of one byte: `len` bytes (1 to 3) of `bytes`.
struct Utf8Char {
  uint8_t len;
  char bytes[3];
};
const Utf8Char& Win1250ToUtf8Char(unsigned char byte);
// The same for all 256 bytes, for loops that convert in bulk.
const Utf8Char* Win1250Utf8Table();

std::string Win1250ToUtf8(std::string_view text);

// Characters the code page lacks, and malformed UTF-8, become '?'.
std::string Utf8ToWin1250(std::string_view text);

// Upper case of every letter of the code page, Czech and Slovak letters with
// diacritics included; other bytes are unchanged.
unsigned char AnsiUpperChar(unsigned char c);
std::string AnsiUpperCase(std::string_view text);
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace platform
