#include "transkod/recoder.h"

#include <array>
#include <cstring>

#include "platform/win1250.h"

namespace transkod {

namespace {

// UTF-8 bytes of every input byte, padded to four so one store copies them;
// CR, LF and 0 have length 0 and take the slow path.
struct Entry {
  char bytes[3];
  uint8_t len;
};

const std::array<Entry, 256> kTable = [] {
  std::array<Entry, 256> t{};
  for (int b = 0; b < 256; ++b) {
    const platform::Utf8Char& u = platform::Win1250ToUtf8Char(static_cast<unsigned char>(b));
    std::memcpy(t[b].bytes, u.bytes, 3);
    t[b].len = u.len;
  }
  t[0].len = t['\r'].len = t['\n'].len = 0;
  return t;
}();

}  // namespace

size_t LineRecoder::Feed(const char* data, size_t n, char* out) {
  char* o = out;
  size_t i = 0;
  while (i < n) {
    const size_t start = i;
    for (; i < n; ++i) {
      const Entry& e = kTable[static_cast<unsigned char>(data[i])];
      if (e.len == 0) break;
      std::memcpy(o, &e, 4);
      o += e.len;
    }
    if (i > start) {
      lineOpen_ = true;
      afterCr_ = false;
    }
    if (i == n) break;
    const char c = data[i++];
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
    } else {
      zeroAt_ = consumed_ + static_cast<int64_t>(i - 1);
      consumed_ += static_cast<int64_t>(i - 1);
      return static_cast<size_t>(o - out);
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
