// The streaming re-encoder against a plain whole-buffer conversion; the
// first input byte chooses where the stream is cut in two.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/win1250.h"
#include "transkod/recoder.h"

namespace {

std::string Reference(const std::string& in) {
  const std::string text = in.substr(0, in.find('\0'));
  std::string joined;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    joined += text.substr(i, j - i) + "\r\n";
    if (j < text.size() && text[j] == '\r') ++j;
    if (j < text.size() && text[j] == '\n') ++j;
    i = j;
  }
  return platform::Win1250ToUtf8(joined);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t cutSeed = data[0];
  const std::string in(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = in.empty() ? 0 : cutSeed % (in.size() + 1);

  transkod::LineRecoder r;
  std::string out(transkod::LineRecoder::MaxOutput(in.size()) + 4, '\0');
  size_t n = r.Feed(in.data(), cut, out.data());
  if (!r.sawZero()) n += r.Feed(in.data() + cut, in.size() - cut, out.data() + n);
  n += r.Finish(out.data() + n);
  out.resize(n);
  if (out != Reference(in)) std::abort();
  if (r.sawZero() != (in.find('\0') != std::string::npos)) std::abort();
  return 0;
}
