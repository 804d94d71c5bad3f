// The re-encoder's text rule as a stream: Windows-1250 bytes in, UTF-8 out,
// every line break (CR, LF or CR LF; LF CR is two) written as CR LF and the
// last line always ended. Feed it any slicing of the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace transkod {

class LineRecoder {
 public:
  // Room `out` needs for `n` input bytes: three UTF-8 bytes per input byte at
  // most, and slack for the four-byte stores of the converter.
  static constexpr size_t MaxOutput(size_t n) { return 3 * n + 4; }

  // Converts `n` bytes to `out` (at least MaxOutput(n) bytes) and returns the
  // number written. Stops at a 0 byte: `zeroAt` then holds its offset in the
  // whole stream and nothing after it is converted.
  size_t Feed(const char* data, size_t n, char* out);
  // Ends the last line; returns the bytes written to `out` (at least 2 bytes).
  size_t Finish(char* out);

  bool sawZero() const { return zeroAt_ >= 0; }
  int64_t zeroAt() const { return zeroAt_; }

 private:
  bool afterCr_ = false;   // the previous byte was CR: an LF now belongs to it
  bool lineOpen_ = false;  // characters since the last break
  int64_t consumed_ = 0;
  int64_t zeroAt_ = -1;
};

// The whole conversion in one call (the zero byte ends the text).
std::string RecodeText(const std::string& input);

}  // namespace transkod
