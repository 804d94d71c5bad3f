// Where the programs' message boxes go. The reader and the run only call
// ShowMessageBox; a windowed program installs a sink that shows a dialog,
// everything else writes to standard error.
#pragma once

#include <memory>
#include <string>

namespace platform {

enum class MessageKind { Information, Error };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // `text` is Windows-1250; `title` may be empty. Returns when dismissed.
  virtual void Show(const std::string& text, const std::string& title, MessageKind kind) = 0;
};

// Writes "<prefix>text" in UTF-8 to standard error, one message per call.
class StderrMessageSink : public MessageSink {
 public:
  explicit StderrMessageSink(std::string prefix = {}) : prefix_(std::move(prefix)) {}
  void Show(const std::string& text, const std::string& title, MessageKind kind) override;

 private:
  std::string prefix_;
};

// A message for a terminal: UTF-8, with the message boxes' CR LF as LF.
std::string TerminalText(const std::string& text1250);

// Installs `sink` (nullptr restores the standard error sink); returns the previous one.
std::shared_ptr<MessageSink> SetMessageSink(std::shared_ptr<MessageSink> sink);
void ShowMessageBox(const std::string& text, const std::string& title = {},
                    MessageKind kind = MessageKind::Information);

}  // namespace platform
