// The run's trace log: numbered checkpoints written to TISKFORM.LOG beside
// the program when TISKFORM.INI there starts with "1". The file is opened and
// closed for every line; each traced run starts a new log.
#pragma once

#include <functional>
#include <string>

#include "forms/datasets.h"

namespace report {

class TraceLog : public forms::TraceWriter {
 public:
  // `programFolder` ends with a separator; `showMessage` shows a simple message box.
  TraceLog(std::string programFolder, std::function<void(const std::string&)> showMessage);

  static constexpr int kUndecided = 999;
  int logState() const { return logState_; }
  void SetUndecided() { logState_ = kUndecided; }

  // Writes one line; true when the trace is on.
  bool Write(const std::string& message);
  void WriteLog(const std::string& message) override { Write(message); }
  bool Enabled() const override;  // decides, when undecided, without writing

  std::string LogPath() const { return folder_ + "TISKFORM.LOG"; }

 private:
  void Decide();
  std::string folder_;
  std::function<void(const std::string&)> showMessage_;
  int logState_ = kUndecided;
  std::string resolvedLog_;
};

// "d.m.yyyy hh.nn.ss.zzz " for the current local time.
std::string TraceTimeStamp();

}  // namespace report
