// Builds small Kord data and memo files for the reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "test_util.h"

namespace kordtest {

inline std::string Header(int32_t count, uint16_t recordLength) {
  std::string h(6, '\0');
  for (int i = 0; i < 4; ++i) h[i] = static_cast<char>(static_cast<uint32_t>(count) >> (8 * i));
  h[4] = static_cast<char>(recordLength & 0xFF);
  h[5] = static_cast<char>(recordLength >> 8);
  return h;
}

// A data file whose header counts its records.
inline std::string DataFile(uint16_t recordLength, const std::vector<std::string>& records) {
  std::string file = Header(static_cast<int32_t>(records.size()), recordLength);
  for (std::string r : records) {
    r.resize(recordLength, '\0');
    file += r;
  }
  return file;
}

inline void SetByte(std::string& file, size_t at, uint8_t value) {
  file[at] = static_cast<char>(value);
}
inline void Truncate(std::string& file, size_t size) {
  file.resize(size);
}

inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

}  // namespace kordtest
