// The platform's trimming: characters with codes 0 to 32 (blanks and
// control characters) removed at both ends, or at the end only.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

inline std::string_view TrimRightView(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsTrimmed(s[e - 1])) --e;
  return s.substr(0, e);
}

inline std::string TrimRight(std::string_view s) {
  return std::string(TrimRightView(s));
}

inline std::string Trim(std::string_view s) {
  s = TrimRightView(s);
  size_t b = 0;
  while (b < s.size() && IsTrimmed(s[b])) ++b;
  return std::string(s.substr(b));
}

}  // namespace platform
