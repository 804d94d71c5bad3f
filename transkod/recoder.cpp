#include "transkod/recoder.h"

#include <cstring>

#include "platform/win1250.h"

namespace transkod {

size_t LineRecoder::Feed(const char* data, size_t n, char* out) {
  char* o = out;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    if (c >= 0x20 && c < 0x80) {
      *o++ = static_cast<char>(c);
      lineOpen_ = true;
      afterCr_ = false;
      continue;
    }
    if (c == '\r') {
      *o++ = '\r';
      *o++ = '\n';
      afterCr_ = true;
      lineOpen_ = false;
    } else if (c == '\n') {
      if (!afterCr_) {
        *o++ = '\r';
        *o++ = '\n';
      }
      afterCr_ = false;
      lineOpen_ = false;
    } else if (c == 0) {
      zeroAt_ = consumed_ + static_cast<int64_t>(i);
      consumed_ += static_cast<int64_t>(i);
      return static_cast<size_t>(o - out);
    } else {
      const platform::Utf8Char& u = platform::Win1250ToUtf8Char(c);
      std::memcpy(o, u.bytes, 3);
      o += u.len;
      lineOpen_ = true;
      afterCr_ = false;
    }
  }
  consumed_ += static_cast<int64_t>(n);
  return static_cast<size_t>(o - out);
}

size_t LineRecoder::Finish(char* out) {
  if (!lineOpen_) return 0;
  lineOpen_ = false;
  out[0] = '\r';
  out[1] = '\n';
  return 2;
}

std::string RecodeText(const std::string& input) {
  LineRecoder r;
  std::string out(LineRecoder::MaxOutput(input.size()) + 2, '\0');
  size_t n = r.Feed(input.data(), input.size(), out.data());
  n += r.Finish(out.data() + n);
  out.resize(n);
  return out;
}

}  // namespace transkod
