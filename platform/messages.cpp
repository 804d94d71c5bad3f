#include "platform/messages.h"

#include <cstdio>

#include "platform/win1250.h"

namespace platform {
namespace {
std::shared_ptr<MessageSink>& Current() {
  static std::shared_ptr<MessageSink> sink = std::make_shared<StderrMessageSink>();
  return sink;
}
}  // namespace

void StderrMessageSink::Show(const std::string& text, const std::string& title, MessageKind) {
  std::string line = prefix_;
  if (!title.empty()) line += Win1250ToUtf8(title) + ": ";
  line += Win1250ToUtf8(text);
  // Message boxes break lines with CR LF; a terminal wants LF.
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') continue;
    out += line[i];
  }
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

std::shared_ptr<MessageSink> SetMessageSink(std::shared_ptr<MessageSink> sink) {
  auto previous = Current();
  Current() = sink ? std::move(sink) : std::make_shared<StderrMessageSink>();
  return previous;
}

void ShowMessageBox(const std::string& text, const std::string& title, MessageKind kind) {
  auto sink = Current();
  sink->Show(text, title, kind);
}

}  // namespace platform
