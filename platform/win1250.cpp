#include "platform/win1250.h"

#include <array>

namespace platform {
namespace {

constexpr char32_t kBad = 0xFFFD;

// The published mapping of 0x80..0xFF.
constexpr char32_t kHigh[128] = {
    0x20AC, kBad,   0x201A, kBad,   0x201E, 0x2026, 0x2020, 0x2021,  // 80
    kBad,   0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    kBad,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kBad,   0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

Utf8Char Encode(char32_t cp) {
  Utf8Char u{};
  if (cp < 0x80) {
    u.len = 1;
    u.bytes[0] = static_cast<char>(cp);
  } else if (cp < 0x800) {
    u.len = 2;
    u.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
    u.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    u.len = 3;
    u.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
    u.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    u.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return u;
}

const std::array<Utf8Char, 256>& Utf8Table() {
  static const std::array<Utf8Char, 256> table = [] {
    std::array<Utf8Char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = Encode(Win1250ToCodePoint(static_cast<unsigned char>(b)));
    return t;
  }();
  return table;
}

const std::array<unsigned char, 256>& UpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
    for (int b = 'a'; b <= 'z'; ++b) t[b] = static_cast<unsigned char>(b - 32);
    // Pairs whose capital lies elsewhere in the code page.
    const unsigned char pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
                                      {0x9F, 0x8F}, {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA},
                                      {0xBE, 0xBC}, {0xBF, 0xAF}};
    for (const auto& p : pairs) t[p[0]] = p[1];
    // 0xE0..0xFE mirror 0xC0..0xDE, but the division sign has no capital.
    for (int b = 0xE0; b <= 0xFE; ++b)
      if (b != 0xF7) t[b] = static_cast<unsigned char>(b - 0x20);
    return t;
  }();
  return table;
}

}  // namespace

char32_t Win1250ToCodePoint(unsigned char byte) {
  return byte < 0x80 ? byte : kHigh[byte - 0x80];
}

const Utf8Char& Win1250ToUtf8Char(unsigned char byte) {
  return Utf8Table()[byte];
}

const Utf8Char* Win1250Utf8Table() {
  return Utf8Table().data();
}

std::string Win1250ToUtf8(std::string_view text) {
  const auto& table = Utf8Table();
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (unsigned char c : text) {
    const Utf8Char& u = table[c];
    out.append(u.bytes, u.len);
  }
  return out;
}

std::string Utf8ToWin1250(std::string_view text) {
  static const auto reverse = [] {
    std::array<std::pair<char32_t, unsigned char>, 128> r{};
    for (int i = 0; i < 128; ++i) r[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
    return r;
  }();
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    char32_t cp = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    bool ok = extra > 0 && i + extra < text.size();
    if (ok) {
      for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        cp = (cp << 6) | (cc & 0x3F);
      }
    }
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    i += extra + 1;
    char mapped = '?';
    if (cp != kBad)
      for (const auto& [code, byte] : reverse)
        if (code == cp) {
          mapped = static_cast<char>(byte);
          break;
        }
    out.push_back(mapped);
  }
  return out;
}

unsigned char AnsiUpperChar(unsigned char c) {
  return UpperTable()[c];
}

std::string AnsiUpperCase(std::string_view text) {
  const auto& table = UpperTable();
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto& table = UpperTable();
  for (size_t i = 0; i < a.size(); ++i)
    if (table[static_cast<unsigned char>(a[i])] != table[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

}  // namespace platform
