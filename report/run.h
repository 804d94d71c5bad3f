// One print job: the main window's run. FormShow chooses the form from the
// report code, reads the parameter table, opens the input table, loads its
// records into the form's memory dataset, merges the firm identity and binds
// the data; the caller then prints or exports and calls FormClose.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/datasets.h"
#include "kord/table.h"
#include "report/trace_log.h"
#include "report/ui.h"

namespace report {

struct RunParameters {
  std::string variant, rok, ico, doplIco, podnikAsrp, nazev, nazevPodniku;
  float paperHeight = -1, marginLeft = -1, marginRight = -1, marginTop = -1, marginBottom = -1;
  std::string firmLocation;
  bool formular2 = false;
};

enum class RunOutcome {
  kNoForm,           // the code matches no form: nothing happened
  kBound,            // the data are loaded and bound: ready to print or export
  kMissingTemplate,  // the message was shown; the program ends
  kError,            // an error ended the run; it was shown
};

class TFTiskform {
 public:
  // `args`: the positional arguments from 1 on, Windows-1250. `programFolder`
  // ends with a separator.
  TFTiskform(std::vector<std::string> args, std::string programFolder, UserInterface& ui);
  ~TFTiskform();

  void FormCreate();
  // Run steps 1 to 13. `templateRequired` false: a missing template is no
  // error (the data devices).
  RunOutcome FormShow(bool templateRequired = true);
  void FormClose();

  const std::string& ReportCode() const { return code_; }
  forms::MemDataset* Mem() const { return mem_; }
  const std::string& TemplatePath() const { return templatePath_; }
  const RunParameters& Parameters() const { return params_; }
  int ParamCount() const { return static_cast<int>(args_.size()); }
  const std::string& Arg(int n) const;  // 1-based; empty beyond the end
  TraceLog& Trace() { return trace_; }
  kord::TKordTable& Table(const std::string& name);
  forms::MemDataset& Dataset(const std::string& name);

 private:
  void Run(bool templateRequired);
  void ReadParameters();
  void OpenFirmIdentity();
  bool PassesOwnRecordsFilter();
  void CopyFields();
  void MergeFirmIdentity();

  std::vector<std::string> args_;
  std::string programFolder_;
  UserInterface& ui_;
  TraceLog trace_;
  std::vector<std::unique_ptr<kord::TKordTable>> tables_;
  std::vector<std::unique_ptr<forms::MemDataset>> datasets_;

  std::string code_, fb_, folder_, file_, skSoubor_;
  kord::TKordTable* f1_ = nullptr;
  forms::MemDataset* mem_ = nullptr;
  bool useBsIdentP_ = false;
  RunParameters params_;
  std::string firmFolder_, firmFile_;
  std::string templatePath_;
  bool missingTemplate_ = false;
  std::vector<std::string> ts_;
  // Field pairs of the copy, looked up once: the lookups give the same fields every time.
  std::vector<kord::TKordField*> inputFields_;
  std::vector<forms::MemField*> memFields_;
};

}  // namespace report
