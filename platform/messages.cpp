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

std::string TerminalText(const std::string& text1250) {
  const std::string utf8 = Win1250ToUtf8(text1250);
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    out += utf8[i];
  }
  return out;
}

void StderrMessageSink::Show(const std::string& text, const std::string& title, MessageKind) {
  std::string out = prefix_;
  if (!title.empty()) out += TerminalText(title) + ": ";
  out += TerminalText(text) + '\n';
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
