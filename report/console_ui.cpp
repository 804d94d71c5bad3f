#include <unistd.h>

#include <cstdio>

#include "platform/messages.h"
#include "report/ui.h"

namespace report {
namespace {

void Write(const std::string& text1250) {
  const std::string text = platform::TerminalText(text1250);
  // The usage message names the program itself.
  const std::string out = (text.rfind("Tiskform: ", 0) == 0 ? "" : "Tiskform: ") + text + "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void ConsoleUserInterface::ShowMessage(const std::string& text) {
  Write(text);
}
void ConsoleUserInterface::ShowError(const std::string& text) {
  Write(text);
}

void ConsoleUserInterface::ProgressStart(int maximum) {
  tty_ = ::isatty(STDERR_FILENO) == 1;
  maximum_ = maximum;
  position_ = 0;
  shownPercent_ = -1;
  Draw();
}

void ConsoleUserInterface::ProgressStep() {
  ++position_;
  Draw();
}

void ConsoleUserInterface::ProgressEnd() {
  if (tty_) std::fputs("\n", stderr);
  tty_ = false;
}

void ConsoleUserInterface::Draw() {
  if (!tty_ || maximum_ <= 0) return;
  const int percent = static_cast<int>(100LL * position_ / maximum_);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  char bar[41];
  const int filled = percent * 40 / 100;
  for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
  bar[40] = 0;
  // "Načítání dat ze souboru do paměti"
  std::fprintf(stderr, "\rNa\xC4\x8D\xC3\xADt\xC3\xA1n\xC3\xAD dat do pam\xC4\x9Bti [%s] %3d%%",
               bar, percent);
  std::fflush(stderr);
}

}  // namespace report
