#include <gtest/gtest.h>

#include <fstream>

#include "report/code_rules.h"
#include "run_fixture.h"

using report::RunOutcome;
using runtest::Record;
using runtest::RunJob;
using runtest::WriteTable;
using testutil::ReadFile;
using testutil::WriteFile;

namespace {

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetRegional(platform::RegionalSettings{});
    data_ = dir_ / "data";
    home_ = dir_ / "home";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(home_ + "/RB");
  }
  void Template(const std::string& name) { WriteFile(home_ + "/RB/" + name, "template"); }
  std::string Log() { return ReadFile(home_ + "/TISKFORM.LOG"); }

  testutil::TempDir dir_;
  std::string data_, home_;
};

// Lines of the log without their time stamps.
std::vector<std::string> LogMessages(const std::string& log) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < log.size()) {
    const size_t end = log.find("\r\n", start);
    std::string line = log.substr(start, end - start);
    // "d.m.yyyy hh.nn.ss.zzz " then the message and a blank
    const size_t sp = line.find(' ', line.find(' ') + 1);
    line = line.substr(sp + 1);
    line.pop_back();
    lines.push_back(platform::Win1250ToUtf8(line));
    start = end + 2;
  }
  return lines;
}

}  // namespace

TEST_F(RunTest, EveryFormRowAndNoMatch) {
  struct Case {
    const char* code;
    const char* table;
    const char* dataset;
  } cases[] = {
      {"X113", "F_X113", "M_X113"},
      {"X23", "F_X113", "M_X113"},
      {"X11935", "F_X113", "M_X113"},
      {"A3VW", "F_SOUBDANI", "M_SOUBDANI"},
      {"A3V3I", "F_SOUBDANI", "M_SOUBDANI"},
      {"M0W", "F_PRIJMYI", "M_PRIJMYI"},
      {"S69W1", "F_SU1", "M_SU1"},
      {"C1W7", "F_VP", "M_VP"},
      {"S2W", "F_VP", "M_VP"},
      {"A441", "F_A441", "M_A441"},
      {"S65W1", "F_ELDP", "M_ELDP"},
      {"S34", "F_NDCSSZ", "M_NDCSSZ"},
      {"S4211", "F_CSSZ", "M_CSSZ"},
      {"S0W", "F_ZP", "M_ZP"},
  };
  std::filesystem::create_directories(dir_ / "MZDY");
  WriteTable(dir_ / "MZDY", "BSIDENTP", "BSIDENTP.000", {{}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    WriteTable(data_, c.table, "DATA.DAT", {{}});
    Template(std::string(c.code) + ".RTM");
    // S65W needs the firm identity: point argument 11 at it.
    const auto r = RunJob(
        {c.code, "F", data_, "data.dat", "SKSOUBOR", "-1", "-1", "-1", "-1", "-1", dir_ / "MZDY/x"},
        home_);
    EXPECT_EQ(r.outcome, RunOutcome::kBound) << (r.ui.errors.empty() ? "" : r.ui.errors[0]);
    EXPECT_EQ(r.dataset, c.dataset);
  }
  const auto none = RunJob({"X999", "F", dir_ / "nowhere", "none"}, home_);
  EXPECT_EQ(none.outcome, RunOutcome::kNoForm);
  EXPECT_TRUE(none.ui.errors.empty());
  EXPECT_EQ(report::ChooseForm("S340").inputTable, nullptr);  // first four against "S34"
  EXPECT_EQ(report::ChooseForm("S3").inputTable, nullptr);
}

TEST_F(RunTest, OrderFormularLowerCaseAndFolders) {
  WriteTable(data_, "F_PRIJMYI", "P.DAT", {{{"Osoba", "a"}}, {{"Osoba", "b"}}, {{"Osoba", "c"}}});
  Template("M0W.RTM");
  // Lower-case code, a folder without its trailing backslash.
  const auto r = RunJob({"m0w", "f", data_, "p.dat", "sksoubor"}, home_);
  ASSERT_EQ(r.outcome, RunOutcome::kBound);
  ASSERT_EQ(r.records.size(), 3u);
  EXPECT_EQ(r.records[0].at("Osoba") + r.records[1].at("Osoba") + r.records[2].at("Osoba"), "abc");
  EXPECT_EQ(r.records[0].at("Formular"), "True");

  WriteTable(data_, "F_ZP", "ZP.DAT", {{{"Formular", 1}}});
  Template("S0W.RTM");
  Template("S0W1.RTM");
  EXPECT_EQ(RunJob({"S0W", "B", data_, "ZP.DAT", "SKSOUBOR"}, home_).records.at(0).at("Formular"),
            "True");
  EXPECT_EQ(RunJob({"S0W1", "B", data_, "ZP.DAT", "SKSOUBOR"}, home_).records.at(0).at("Formular"),
            "False");

  WriteTable(data_, "F_X113", "X.DAT",
             {{{"C_Name_Sur", "Zeman"}}, {{"C_Name_Sur", "Adam"}}, {{"C_Name_Sur", "Čech"}}});
  Template("X113.RTM");
  const auto x = RunJob({"X113", "F", data_, "X.DAT", "SKSOUBOR"}, home_);
  ASSERT_EQ(x.records.size(), 3u);
  EXPECT_EQ(
      x.records[0].at("C_Name_Sur") + x.records[1].at("C_Name_Sur") + x.records[2].at("C_Name_Sur"),
      "AdamZemanČech");
}

TEST_F(RunTest, CopiedValuesAndNulls) {
  WriteTable(data_, "F_X113", "X.DAT",
             {{{"C_Name_Sur", "Novák   "},
               {"sqnr", "12ab"},
               {"Vlastni", 1},
               {"Rezerva", 12},
               {"Dat", 37622.5},
               {"C_Name_Fir", "   "}}});
  Template("X113.RTM");
  const auto r = RunJob({"X113", "F", data_, "X.DAT", "SKSOUBOR"}, home_);
  ASSERT_EQ(r.records.size(), 1u);
  const auto& rec = r.records[0];
  EXPECT_EQ(rec.at("C_Name_Sur"), "Novák");   // right-trimmed
  EXPECT_EQ(rec.at("C_Name_Fir"), "<null>");  // only blanks
  EXPECT_EQ(rec.at("Sqnr"), "<null>");        // does not convert
  EXPECT_EQ(rec.at("Vlastni"), "True");       // a Boolean as text
  EXPECT_EQ(rec.at("Rezerva"), "12");
  EXPECT_EQ(rec.at("Dat"), "37622,5");  // the day number as text
  EXPECT_EQ(rec.at("SNavicSloupec"), "<null>");
}

TEST_F(RunTest, OwnRecordsFilterAndFirmIdentity) {
  // Records in file order; the loop starts at the last one.
  const std::vector<Record> records = {
      {{"Osoba", "1"}, {"Vlastni", 1}, {"Act", "4"}},
      {{"Osoba", "2"}, {"Vlastni", 0}, {"Act", "4"}},
      {{"Osoba", "3"}, {"Vlastni", 1}, {"Act", "3"}},
      {{"Osoba", "4"}, {"Vlastni", 0}, {"Act", "4"}},
  };
  WriteTable(data_, "F_X113", "X.DAT", records);
  WriteTable(dir_ / "FIRMA", "BSIDENTP", "BSIDENTP.000",
             {{{"AdrOSSZ2", "Okresní správa"}, {"MOdeslani", "Brno"}}});
  for (const char* code : {"X11931", "X11932", "X11933", "X11934", "X11935", "X11936"})
    Template(std::string(code) + ".RTM");
  auto osoby = [](const runtest::JobResult& r) {
    std::string s;
    for (const auto& rec : r.records) s += rec.at("Osoba").back();
    return s;
  };
  const std::vector<std::string> firm = {
      "SKSOUBOR", "-1", "-1", "-1", "-1", "-1", dir_ / "FIRMA/whatever.001"};
  auto job = [&](const char* code) {
    std::vector<std::string> args = {code, "F", data_, "X.DAT"};
    args.insert(args.end(), firm.begin(), firm.end());
    return RunJob(args, home_);
  };
  const auto own =
      job("X11931");  // Vlastni true and Act 4; the last record fails: no firm identity
  EXPECT_EQ(osoby(own), "1");
  EXPECT_EQ(own.records.at(0).at("AdrOSSZ2"), "<null>");
  const auto foreign = job("X11932");  // the last record passes: firm identity merged into each
  EXPECT_EQ(osoby(foreign), "42");     // equal surnames keep the order of insertion
  EXPECT_EQ(foreign.records.at(0).at("AdrOSSZ2"), "Okresní správa");
  EXPECT_EQ(foreign.records.at(1).at("MOdeslani"), "Brno");
  const auto last = job("X11935");
  EXPECT_EQ(osoby(last), "4");
  EXPECT_EQ(last.records.at(0).at("MOdeslani"), "Brno");
  EXPECT_EQ(osoby(job("X11936")), "");  // row 1 takes it, no rule admits

  // Without argument 11 the default \MZDY\ on the drive: missing here.
  const auto noFirm = RunJob({"X11935", "F", data_, "X.DAT", "SKSOUBOR"}, home_);
  EXPECT_EQ(noFirm.outcome, RunOutcome::kError);
  EXPECT_EQ(noFirm.ui.errors.at(0), "BSIDENTP: uvedený adresář neexistuje");
}

TEST_F(RunTest, ParameterTablesAndTemplateNames) {
  WriteTable(data_, "F_SOUBDANI", "S.DAT", {{{"Osoba", "1"}}, {{"Osoba", "2"}}});
  auto param = [&](const char* rok, const char* variant) {
    WriteTable(data_, "F_PARAM", "PARAM.DAT",
               {{{"Rok", rok},
                 {"PorSestavy", variant},
                 {"ICO", "12345678"},
                 {"Nazev", "Firma"},
                 {"HeightF", 11.69},
                 {"HeightB", 10.5},
                 {"Left", -1},
                 {"Top", 0.5}}});
  };
  param("2006", "01");
  Template("A3VW_06_01.RTM");
  auto r = RunJob({"A3VW", "F", data_, "S.DAT", "PARAM.DAT"}, home_);
  ASSERT_EQ(r.outcome, RunOutcome::kBound) << (r.ui.messages.empty() ? "" : r.ui.messages[0]);
  EXPECT_EQ(r.records.at(1).at("Rok"), "2006");
  EXPECT_EQ(r.records.at(0).at("ICO"), "0012345678");
  EXPECT_EQ(r.records.at(0).at("Nazev"), "Firma");
  EXPECT_FLOAT_EQ(r.params.paperHeight, 11.69f);
  EXPECT_FLOAT_EQ(r.params.marginTop, 0.5f);
  EXPECT_FLOAT_EQ(r.params.marginLeft, -1.0f);
  EXPECT_FLOAT_EQ(
      RunJob({"A3VW", "B", data_, "S.DAT", "PARAM.DAT"}, home_, false).params.paperHeight, 10.5f);

  // Missing template: the message names the whole path.
  const auto missing = RunJob({"A3V3I", "F", data_, "S.DAT", "PARAM.DAT"}, home_);
  EXPECT_EQ(missing.outcome, RunOutcome::kMissingTemplate);
  EXPECT_EQ(missing.ui.messages.at(0),
            "Neexistuje soubor: " + home_ + "/RB\\A3V3I_01.RTM\r\nKONEC tisku");
  EXPECT_EQ(
      RunJob({"A3V3I", "F", data_, "S.DAT", "SKSOUBOR"}, home_, false).records.at(0).at("Rok"),
      "<null>");

  struct Case {
    const char* code;
    const char* rok;
    const char* variant;
    std::vector<std::string> extra;
    const char* name;
  } cases[] = {
      {"M0W", "2004", "00", {}, "M0W_2005.RTM"},
      {"M0W", "2005", "00", {}, "M0W_2005.RTM"},
      {"M0W", "2006", "00", {}, "M0W_2007.RTM"},
      {"M0W", "2008", "00", {}, "M0W.RTM"},
      {"M0W", "2006", "01", {"-1", "-1", "-1", "-1", "-1", "x", "3"}, "M0W_2007_3.RTM"},
      {"M0W", "2008", "01", {"-1", "-1", "-1", "-1", "-1", "x", "02"}, "M0W_02.RTM"},
      {"M0W", "2008", "01", {"-1", "-1", "-1", "-1", "-1", "x", "0"}, "M0W.RTM"},
      {"M0W", "2008", "01", {"-1", "-1", "-1", "-1", "-1", "x", "abc"}, "M0W.RTM"},
      {"M0W", "2008", "01", {}, "M0W_01.RTM"},
      {"A3VW", "2007", "00", {}, "A3VW.RTM"},
  };
  WriteTable(data_, "F_PRIJMYI", "P.DAT", {{}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    param(c.rok, c.variant);
    std::vector<std::string> args = {c.code, "F", data_,
                                     std::string(c.code) == "M0W" ? "P.DAT" : "S.DAT", "PARAM.DAT"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto job = RunJob(args, home_, false);
    EXPECT_EQ(job.templatePath, home_ + "/RB\\" + c.name);
  }
  EXPECT_EQ(RunJob({"M0W", "F", data_, "P.DAT", "SKSOUBOR"}, home_, false).templatePath,
            home_ + "/RB\\M0W.RTM");
}

TEST_F(RunTest, FourArgumentsAndParam2Location) {
  WriteTable(data_, "F_SOUBDANI", "S.DAT", {{}});
  Template("A3VW.RTM");
  const auto four = RunJob({"A3VW", "F", data_, "S.DAT"}, home_);
  EXPECT_EQ(four.outcome, RunOutcome::kError);
  EXPECT_EQ(four.ui.errors.at(0), "F_PARAM: není nadefinována tabulka");

  // S65W with CBSIDENTP in F_PARAM2 and no argument 11: that very file.
  WriteTable(data_, "F_ELDP", "E.DAT", {{{"Osoba", "7"}}});
  WriteTable(dir_ / "MZDY2", "BSIDENTP", "BSIDENTP.002",
             {{{"Adresa1", "Firma  "}, {"Sidlo", "  Brno"}, {"PSC", "60200"}}});
  WriteTable(data_, "F_PARAM2", "P2.DAT",
             {{{"CBSIDENTP", dir_ / "MZDY2/BSIDENTP.002"}, {"Formular2", 1}}});
  Template("S65W1.RTM");
  const auto eldp = RunJob({"S65W1", "F", data_, "E.DAT", "P2.DAT"}, home_);
  ASSERT_EQ(eldp.outcome, RunOutcome::kBound) << (eldp.ui.errors.empty() ? "" : eldp.ui.errors[0]);
  EXPECT_EQ(eldp.records.at(0).at("PAdresa1"), "Firma Brno");
  EXPECT_EQ(eldp.records.at(0).at("PPSC"), "60200");
  EXPECT_EQ(eldp.records.at(0).at("Formular2"), "True");
}

TEST_F(RunTest, ProgressAboveFiftyRecords) {
  Template("C1W.RTM");
  for (int n : {50, 51}) {
    std::vector<Record> records(static_cast<size_t>(n));
    WriteTable(data_, "F_VP", "VP.DAT", records);
    const auto r = RunJob({"C1W", "F", data_, "VP.DAT", "SKSOUBOR"}, home_);
    EXPECT_EQ(r.records.size(), static_cast<size_t>(n));
    EXPECT_EQ(r.ui.progressMax, n == 51 ? 51 : -1);
    EXPECT_EQ(r.ui.progressSteps, n == 51 ? 51 : 0);
  }
}

TEST_F(RunTest, TraceLogLines) {
  WriteTable(data_, "F_VP", "VP.DAT", {{}, {}});
  Template("C1W.RTM");
  struct Switch {
    const char* ini;
    bool on;
  } switches[] = {{"1", true},  {"10", true}, {"1 and more\r\n0", true}, {" 1", false},
                  {"0", false}, {"", false},  {nullptr, false}};
  for (const auto& s : switches) {
    SCOPED_TRACE(s.ini ? s.ini : "no file");
    std::filesystem::remove(home_ + "/TISKFORM.LOG");
    std::filesystem::remove(home_ + "/TISKFORM.INI");
    if (s.ini) WriteFile(home_ + "/TISKFORM.INI", s.ini);
    RunJob({"C1W", "F", data_, "VP.DAT", "SKSOUBOR"}, home_);
    EXPECT_EQ(std::filesystem::exists(home_ + "/TISKFORM.LOG"), s.on);
  }
  WriteFile(home_ + "/TISKFORM.INI", "1");
  RunJob({"C1W", "F", data_, "VP.DAT", "SKSOUBOR"}, home_);
  RunJob({"C1W", "F", data_, "VP.DAT", "SKSOUBOR"}, home_);  // the log holds only this run
  const std::vector<std::string> expected = {
      "",
      "************ ZAČÁTEK programu Tiskform",
      "TFTiskform.FormShow: 1 - Zakládám TS",
      "TFTiskform.FormShow: 2 - Po založení TS",
      "TFTiskform.FormShow: 3 - Po F1.Open",
      "TFTiskform.FormShow: 4 - Po F1.Last",
      "TFTiskform.FormShow: 5 - Po F1.GetFieldNames(TS)",
      "TFTiskform.FormShow: 6 - Po Mem.Open",
      "TFTiskform.FormShow: if ParamCount>=12",
      "TFTiskform.FormShow: 7 - Před Mem.Insert",
      "TFTiskform.FormShow: 8 - Po Mem.Insert",
      "TFTiskform.FormShow: 9 - Před Mem.Post",
      "TFTiskform.FormShow: 10 - Po Mem.Post",
      "TFTiskform.FormShow: 7 - Před Mem.Insert",
      "TFTiskform.FormShow: 8 - Po Mem.Insert",
      "TFTiskform.FormShow: 9 - Před Mem.Post",
      "TFTiskform.FormShow: 10 - Po Mem.Post",
      "TFTiskform.FormShow: 11 - Před DataSource1.DataSet := Mem",
      "TFTiskform.FormShow: 12 - Po DataSource1.DataSet := Mem",
      "TFTiskform.FormClose: 26 - Z",
      "TFTiskform.FormClose: 27 - K"};
  const std::string log = Log();
  EXPECT_EQ(LogMessages(log), expected);
  EXPECT_EQ(log.substr(log.find(' ', log.find(' ') + 1), 4), "  \r\n");  // time stamp, two blanks
  // The time stamp: d.m.yyyy hh.nn.ss.zzz
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(log[0])));

  RunJob({"X999", "F", data_, "VP.DAT"}, home_);
  EXPECT_EQ(
      LogMessages(Log()),
      (std::vector<std::string>{"", "************ ZAČÁTEK programu Tiskform",
                                "TFTiskform.FormClose: 26 - Z", "TFTiskform.FormClose: 27 - K"}));

  // X113 codes add the handler's lines; argument 11 its own line.
  WriteTable(data_, "F_X113", "X.DAT", {{}});
  Template("X113.RTM");
  RunJob({"X113", "F", data_, "X.DAT", "SKSOUBOR", "-1", "-1", "-1", "-1", "-1", "C:\\"}, home_);
  const auto lines = LogMessages(Log());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "TFTiskform.FormShow: if ParamCount>=11"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "TFTiskform.M_X113CalcFields: 28 - Z"),
            lines.end());
}

TEST_F(RunTest, UnwritableLogShowsBothMessages) {
  if (::geteuid() == 0) {
    // root writes anywhere: use a log path that is a folder instead.
    std::filesystem::create_directories(home_ + "/TISKFORM.LOG");
  } else {
    std::filesystem::permissions(
        home_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  WriteFile(home_ + "/TISKFORM.INI", "1");
  const auto r = RunJob({"X999", "F", data_, "X.DAT"}, home_);
  std::filesystem::permissions(home_, std::filesystem::perms::owner_all);
  ASSERT_GE(r.ui.messages.size(), 2u);
  EXPECT_EQ(r.ui.messages[0], "Nelze zapisovat do souboru " + home_ +
                                  "/TISKFORM.LOG pravděpodobně je zakázán zápis do souboru");
  EXPECT_EQ(r.ui.messages[1].substr(r.ui.messages[1].size() - 2), "  ");
}
