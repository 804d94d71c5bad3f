// What the run shows to the user. The windowed program shows dialogs and a
// progress window; the console form writes to standard error.
#pragma once

#include <string>

namespace report {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A simple message box with the application title (Windows-1250 text).
  virtual void ShowMessage(const std::string& text) = 0;
  // The application's standard error box.
  virtual void ShowError(const std::string& text) = 0;
  virtual void ProgressStart(int maximum) = 0;
  virtual void ProgressStep() = 0;
  virtual void ProgressEnd() = 0;
};

// Messages to standard error in UTF-8, prefixed "Tiskform: "; a progress bar
// on standard error when it is a terminal.
class ConsoleUserInterface : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ProgressStart(int maximum) override;
  void ProgressStep() override;
  void ProgressEnd() override;

 private:
  void Draw();
  bool tty_ = false;
  int maximum_ = 0, position_ = 0, shownPercent_ = -1;
};

}  // namespace report
