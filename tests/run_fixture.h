// Writes the payroll system's export files for a print job and runs the job
// in-process, recording what it shows.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "forms/layouts.h"
#include "kord/builder.h"
#include "platform/regional.h"
#include "platform/win1250.h"
#include "report/run.h"
#include "test_util.h"

namespace runtest {

// A field value: text (UTF-8, for A and N fields) or a number.
struct Val {
  Val(const char* t) : text(t), isText(true) {}
  Val(std::string t) : text(std::move(t)), isText(true) {}
  Val(double n) : num(n) {}
  Val(int n) : num(n) {}
  std::string text;
  double num = 0;
  bool isText = false;
};
using Record = std::vector<std::pair<std::string, Val>>;

// Writes `file` in `folder` with the layout of `table`; `live` false marks a dead record.
inline void WriteTable(const std::string& folder, const std::string& table, const std::string& file,
                       const std::vector<Record>& records, const std::vector<bool>& live = {}) {
  auto t = forms::CreateTable(*forms::FindTableLayout(table));
  kord::RecordBuilder b(*t);
  for (size_t i = 0; i < records.size(); ++i) {
    b.Begin(live.empty() || live[i]);
    for (const auto& [name, v] : records[i]) {
      if (v.isText)
        b.SetText(name, platform::Utf8ToWin1250(v.text));
      else
        b.SetNumber(name, v.num);
    }
    b.End();
  }
  std::filesystem::create_directories(folder);
  testutil::WriteFile(folder + "/" + file, b.DataFile());
  // The memo file: the extension becomes ".T" and its 3rd and 4th characters.
  const size_t dot = file.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : file.substr(dot);
  const std::string memo =
      file.substr(0, file.size() - ext.size()) + ".T" + (ext.size() > 2 ? ext.substr(2, 2) : "");
  testutil::WriteFile(folder + "/" + memo, b.MemoFile());
}

class RecordingUi : public report::UserInterface {
 public:
  void ShowMessage(const std::string& t) override {
    messages.push_back(platform::Win1250ToUtf8(t));
  }
  void ShowError(const std::string& t) override { errors.push_back(platform::Win1250ToUtf8(t)); }
  void ProgressStart(int maximum) override { progressMax = maximum; }
  void ProgressStep() override { ++progressSteps; }
  void ProgressEnd() override {}
  std::vector<std::string> messages, errors;
  int progressMax = -1, progressSteps = 0;
};

struct JobResult {
  report::RunOutcome outcome;
  std::vector<std::map<std::string, std::string>> records;  // every field's text, UTF-8
  std::string dataset, templatePath;
  report::RunParameters params;
  RecordingUi ui;
};

// Runs a job with the UTF-8 positional arguments `args`; `home` holds RB\ and TISKFORM.INI.
inline JobResult RunJob(const std::vector<std::string>& args, const std::string& home,
                        bool templateRequired = true) {
  JobResult r;
  std::vector<std::string> a;
  for (const auto& s : args) a.push_back(platform::Utf8ToWin1250(s));
  report::TFTiskform form(a, platform::Utf8ToWin1250(home) + "/", r.ui);
  r.outcome = form.FormShow(templateRequired);
  r.templatePath = platform::Win1250ToUtf8(form.TemplatePath());
  r.params = form.Parameters();
  if (forms::MemDataset* mem = form.Mem()) {
    r.dataset = mem->Name();
    if (mem->Active())
      for (mem->First(); !mem->Eof(); mem->Next()) {
        std::map<std::string, std::string> rec;
        for (int i = 0; i < mem->FieldCount(); ++i)
          rec[mem->Field(i).FieldName()] =
              mem->Field(i).IsNull() ? "<null>" : platform::Win1250ToUtf8(mem->Field(i).AsString());
        r.records.push_back(std::move(rec));
      }
  }
  if (r.outcome != report::RunOutcome::kMissingTemplate) form.FormClose();
  return r;
}

}  // namespace runtest
