#include "report/run.h"

#include "forms/layouts.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/trim.h"
#include "platform/win1250.h"
#include "report/code_rules.h"

namespace report {
namespace {

using platform::Utf8ToWin1250;

// A field the layout declares; the layouts are fixed, so a miss is a fault of ours.
kord::TKordField& Need(const kord::TKordTable& table, const std::string& name) {
  kord::TKordField* f = table.FieldByName(name);
  if (!f) throw kord::EKordTableError(table.Name() + ": no field " + name);
  return *f;
}

// The platform's variant-to-text conversion.
std::string VariantText(platform::Variant&& v) {
  if (v.IsBool()) return v.AsBool() ? "True" : "False";
  if (v.IsDouble()) return platform::FloatToStrGeneral(v.AsDouble(), 15);
  return std::move(v).TakeString();
}

}  // namespace

TFTiskform::TFTiskform(std::vector<std::string> args, std::string programFolder, UserInterface& ui)
    : args_(std::move(args)),
      programFolder_(std::move(programFolder)),
      ui_(ui),
      trace_(programFolder_, [&ui](const std::string& text) { ui.ShowMessage(text); }) {
  for (const forms::TableLayout& layout : forms::TableLayouts())
    tables_.push_back(forms::CreateTable(layout));
  for (const forms::DatasetLayout& layout : forms::DatasetLayouts())
    datasets_.push_back(forms::CreateDataset(layout, &trace_));
  FormCreate();
}

TFTiskform::~TFTiskform() = default;

void TFTiskform::FormCreate() {
  trace_.SetUndecided();
}

const std::string& TFTiskform::Arg(int n) const {
  static const std::string empty;
  return n >= 1 && n <= ParamCount() ? args_[n - 1] : empty;
}

kord::TKordTable& TFTiskform::Table(const std::string& name) {
  for (auto& t : tables_)
    if (t->Name() == name) return *t;
  throw platform::Exception("no table " + name);
}

forms::MemDataset& TFTiskform::Dataset(const std::string& name) {
  for (auto& d : datasets_)
    if (d->Name() == name) return *d;
  throw platform::Exception("no dataset " + name);
}

RunOutcome TFTiskform::FormShow(bool templateRequired) {
  try {
    Run(templateRequired);
  } catch (const platform::Exception& e) {
    ui_.ProgressEnd();
    ui_.ShowError(e.what());
    return RunOutcome::kError;
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, say): still the standard error box.
    ui_.ProgressEnd();
    ui_.ShowError(e.what());
    return RunOutcome::kError;
  }
  if (!f1_) return RunOutcome::kNoForm;
  if (missingTemplate_) return RunOutcome::kMissingTemplate;
  return RunOutcome::kBound;
}

void TFTiskform::Run(bool templateRequired) {
  // 1. Start.
  trace_.SetUndecided();
  params_ = RunParameters{};
  trace_.Write("");
  trace_.Write(Utf8ToWin1250("************ ZAČÁTEK programu Tiskform"));

  // 2. Arguments 1 to 5.
  code_ = platform::AnsiUpperCase(Arg(1));
  fb_ = platform::AnsiUpperCase(Arg(2));
  folder_ = platform::AnsiUpperCase(Arg(3));
  if (folder_.empty() || folder_.back() != '\\') folder_ += '\\';
  file_ = platform::AnsiUpperCase(Arg(4));
  skSoubor_ = platform::AnsiUpperCase(Arg(5));

  // 3. The form.
  const FormChoice choice = ChooseForm(code_);
  if (!choice.inputTable) return;
  f1_ = &Table(choice.inputTable);
  mem_ = &Dataset(choice.dataset);

  // 4. Parameters.
  if (skSoubor_ != "SKSOUBOR") ReadParameters();

  // 5. The input table and the memory dataset.
  f1_->SetTableFolder(folder_);
  f1_->SetTableName(file_);
  trace_.Write(Utf8ToWin1250("TFTiskform.FormShow: 1 - Zakládám TS"));
  ts_.clear();
  trace_.Write(Utf8ToWin1250("TFTiskform.FormShow: 2 - Po založení TS"));
  f1_->Open();
  trace_.Write("TFTiskform.FormShow: 3 - Po F1.Open");
  f1_->Last();
  trace_.Write("TFTiskform.FormShow: 4 - Po F1.Last");
  f1_->GetFieldNames(ts_);
  trace_.Write("TFTiskform.FormShow: 5 - Po F1.GetFieldNames(TS)");
  mem_->Open();
  trace_.Write("TFTiskform.FormShow: 6 - Po Mem.Open");

  // 6. Where the firm identity lies.
  if (ParamCount() >= 11) {
    trace_.Write("TFTiskform.FormShow: if ParamCount>=11");
    params_.firmLocation = platform::ExtractFilePath(Arg(11));
  }
  firmFolder_ = platform::ExtractFilePath(params_.firmLocation);
  firmFile_ = params_.firmLocation.substr(firmFolder_.size());

  // 7, 8. Variant and template.
  trace_.Write("TFTiskform.FormShow: if ParamCount>=12");
  const std::string variant = ParamCount() >= 12 ? Arg(12) : params_.variant;
  templatePath_ = programFolder_ + "RB\\" + code_ + YearSuffix(code_, params_.rok) +
                  VariantSuffix(variant) + ".RTM";
  if (!platform::FileExists(templatePath_) && templateRequired) {
    missingTemplate_ = true;
    ui_.ShowMessage("Neexistuje soubor: " + templatePath_ + "\r\nKONEC tisku");
    return;
  }

  // 9. The firm identity.
  useBsIdentP_ = LastRecordOnly(code_) || BeginsWith(code_, "S65W") ||
                 (HasOwnRecordsFilter(code_) && PassesOwnRecordsFilter());
  if (useBsIdentP_) OpenFirmIdentity();

  // 10 to 12. The records.
  const int n = f1_->RecordCount();
  const bool progress = n > 50;
  if (progress) ui_.ProgressStart(n);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) {
      if (LastRecordOnly(code_)) break;
      f1_->Prior();
    }
    if (progress) ui_.ProgressStep();
    const bool admitted =
        HasOwnRecordsFilter(code_) ? PassesOwnRecordsFilter() : AdmitsEveryRecord(code_);
    if (!admitted) continue;
    static const std::string kBeforeInsert =
        Utf8ToWin1250("TFTiskform.FormShow: 7 - Před Mem.Insert");
    trace_.Write(kBeforeInsert);
    mem_->Insert();
    trace_.Write("TFTiskform.FormShow: 8 - Po Mem.Insert");
    CopyFields();
    if (SetsFormularFromFB(code_)) mem_->FieldByName("Formular").SetAsBoolean(fb_ == "F");
    if (CopiesRunParameters(code_)) {
      mem_->FieldByName("Rok").SetAsString(params_.rok);
      mem_->FieldByName("Ico").SetAsString(params_.ico);
      mem_->FieldByName("DoplIco").SetAsString(params_.doplIco);
      mem_->FieldByName("Nazev").SetAsString(params_.nazev);
      mem_->FieldByName("NazevPodniku").SetAsString(params_.nazevPodniku);
      mem_->FieldByName("PodnikASRP").SetAsString(params_.podnikAsrp);
    }
    if (useBsIdentP_) MergeFirmIdentity();
    static const std::string kBeforePost = Utf8ToWin1250("TFTiskform.FormShow: 9 - Před Mem.Post");
    trace_.Write(kBeforePost);
    mem_->Post();
    trace_.Write("TFTiskform.FormShow: 10 - Po Mem.Post");
  }
  if (progress) ui_.ProgressEnd();

  // 13. The data source.
  trace_.Write(Utf8ToWin1250("TFTiskform.FormShow: 11 - Před DataSource1.DataSet := Mem"));
  trace_.Write("TFTiskform.FormShow: 12 - Po DataSource1.DataSet := Mem");
}

void TFTiskform::ReadParameters() {
  kord::TKordTable& p = Table(UsesParam2(code_) ? "F_PARAM2" : "F_PARAM");
  p.SetTableFolder(folder_);
  p.SetTableName(skSoubor_);
  p.Open();
  p.First();
  // A table without a live record leaves the run parameters as if none had been read.
  if (p.RecordCount() > 0) {
    auto text = [&p](const char* name) { return Need(p, name).AsString(); };
    params_.variant = text("PorSestavy");
    params_.rok = text("Rok");
    params_.ico = text("ICO");
    params_.doplIco = text("DoplICO");
    params_.podnikAsrp = text("PodnikASRP");
    params_.nazev = text("Nazev");
    params_.nazevPodniku = text("NazevPodniku");
    // A print mode letter other than F or B names no field: no paper height.
    if (kord::TKordField* h = p.FieldByName("Height" + fb_))
      params_.paperHeight = static_cast<float>(h->AsFloat());
    params_.marginLeft = static_cast<float>(Need(p, "Left").AsFloat());
    params_.marginRight = static_cast<float>(Need(p, "Right").AsFloat());
    params_.marginTop = static_cast<float>(Need(p, "Top").AsFloat());
    params_.marginBottom = static_cast<float>(Need(p, "Bottom").AsFloat());
    if (ReadsCbsIdentP(code_)) params_.firmLocation = text("CBSIDENTP");
    if (ReadsFormular2(code_)) params_.formular2 = Need(p, "Formular2").AsBoolean();
  }
  p.Close();
}

bool TFTiskform::PassesOwnRecordsFilter() {
  const bool vlastni = Need(*f1_, "Vlastni").AsBoolean();
  if (vlastni != OwnRecordsWantVlastni(code_)) return false;
  return Need(*f1_, "Act").AsString() == "4";
}

void TFTiskform::OpenFirmIdentity() {
  kord::TKordTable& bs = Table("BSIDENTP");
  bs.SetTableFolder(firmFolder_.empty() ? "\\MZDY\\" : firmFolder_);
  bs.SetTableName(firmFile_.empty() ? "BSIDENTP.000" : firmFile_);
  bs.Open();
  bs.First();
}

void TFTiskform::CopyFields() {
  if (inputFields_.size() != ts_.size()) {
    inputFields_.clear();
    memFields_.clear();
    for (const std::string& name : ts_) {
      inputFields_.push_back(&Need(*f1_, name));
      memFields_.push_back(mem_->FindField(name));
    }
  }
  for (size_t i = 0; i < ts_.size(); ++i) {
    try {
      forms::MemField* mem = memFields_[i];
      if (!mem) mem = &mem_->FieldByName(ts_[i]);
      std::string text = VariantText(inputFields_[i]->AsVariant());
      text.resize(platform::TrimRightView(text).size());
      if (text.empty())
        mem->Clear();
      else
        mem->SetAsString(text);
    } catch (const platform::Exception&) {
      // The value stays out; a field the dataset lacks ends the run here.
      mem_->FieldByName(ts_[i]).Clear();
    }
  }
}

void TFTiskform::MergeFirmIdentity() {
  kord::TKordTable& bs = Table("BSIDENTP");
  auto text = [&bs](const char* name) { return Need(bs, name).AsString(); };
  if (BeginsWith(code_, "S65W")) {
    mem_->FieldByName("PAdresa1")
        .SetAsString(platform::Trim(text("Adresa1")) + " " + platform::Trim(text("Sidlo")));
    mem_->FieldByName("VarSymbol").SetAsString(text("VarSymbol"));
    mem_->FieldByName("PAdresa6").SetAsString(text("Adresa6"));
    mem_->FieldByName("PCisloDomu").SetAsString(text("CisloDomu"));
    mem_->FieldByName("PAdresa4").SetAsString(text("Adresa4"));
    mem_->FieldByName("PPSC").SetAsString(text("PSC"));
    mem_->FieldByName("Formular2").SetAsBoolean(params_.formular2);
  } else {
    for (const char* name : {"AdrOSSZ2", "AdrOSSZ3", "AdrOSSZ4", "AdrOSSZ5", "MOdeslani"})
      mem_->FieldByName(name).SetAsString(text(name));
  }
}

void TFTiskform::FormClose() {
  trace_.Write("TFTiskform.FormClose: 26 - Z");
  if (f1_ && f1_->Active()) f1_->Close();
  if (mem_ && mem_->Active()) mem_->Close();
  for (const char* name : {"BSIDENTP", "F_PARAM", "F_PARAM2"}) {
    kord::TKordTable& t = Table(name);
    if (t.Active()) t.Close();
  }
  trace_.Write("TFTiskform.FormClose: 27 - K");
}

}  // namespace report
