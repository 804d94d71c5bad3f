#include "report/trace_log.h"

#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>

#include "platform/paths.h"
#include "platform/win1250.h"

namespace report {

TraceLog::TraceLog(std::string programFolder, std::function<void(const std::string&)> showMessage)
    : folder_(std::move(programFolder)), showMessage_(std::move(showMessage)) {}

std::string TraceTimeStamp() {
  struct timeval tv {};
  ::gettimeofday(&tv, nullptr);
  struct tm t {};
  const time_t secs = tv.tv_sec;
  ::localtime_r(&secs, &t);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d.%d.%04d %02d.%02d.%02d.%03d ", t.tm_mday, t.tm_mon + 1,
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                static_cast<int>(tv.tv_usec / 1000));
  return buf;
}

void TraceLog::Decide() {
  if (logState_ != kUndecided) return;
  logState_ = 0;
  std::ifstream ini(platform::ResolvePath(folder_ + "TISKFORM.INI"), std::ios::binary);
  if (!ini) return;
  char first = 0;
  if (ini.get(first) && first == '1') logState_ = 2;
}

bool TraceLog::Enabled() const {
  const_cast<TraceLog*>(this)->Decide();
  return logState_ == 1 || logState_ == 2;
}

bool TraceLog::Write(const std::string& message) {
  Decide();
  if (logState_ != 1 && logState_ != 2) return false;
  const std::string line = TraceTimeStamp() + message + " ";
  // Found once: the folder does not move during a run.
  if (resolvedLog_.empty()) resolvedLog_ = platform::ResolvePath(LogPath());
  const std::string& path = resolvedLog_;
  const bool append = logState_ == 1 && ::access(path.c_str(), F_OK) == 0;
  logState_ = 1;
  FILE* f = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (!f) {
    showMessage_("Nelze zapisovat do souboru " + LogPath() +
                 platform::Utf8ToWin1250(" pravděpodobně je zakázán zápis do souboru"));
    showMessage_(line);
    return true;
  }
  std::fwrite(line.data(), 1, line.size(), f);
  std::fwrite("\r\n", 1, 2, f);
  std::fclose(f);
  return true;
}

}  // namespace report
