#include "report/app.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "report/data_export.h"
#include "run_fixture.h"

using runtest::WriteTable;
using testutil::ReadFile;
using testutil::WriteFile;

namespace {

struct ProgramRun {
  int code;
  std::string out, err;
};

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = dir_ / "data";
    home_ = dir_ / "home";
    std::filesystem::create_directories(home_ + "/RB");
  }

  // Runs the program with TISKFORM_HOME set; `env` adds variables.
  ProgramRun Tiskform(const std::string& args, const std::string& env = "") {
    const std::string cmd =
        "cd '" + dir_.path() +
        "' && env -u TISKFORM_DEVICE -u TISKFORM_OUTPUT -u LC_ALL -u LC_NUMERIC -u LC_TIME -u TISKFORM_DECIMAL_SEPARATOR LANG=C.UTF-8 TISKFORM_HOME='" + home_ +
        "' " + env + " " TISKFORM_EXE " " + args + " >out 2>err";
    const int status = std::system(cmd.c_str());
    return {WEXITSTATUS(status), ReadFile(dir_ / "out"), ReadFile(dir_ / "err")};
  }

  testutil::TempDir dir_;
  std::string data_, home_;
};

}  // namespace

TEST_F(AppTest, JsonExportOfAPayslipJob) {
  auto vp = forms::CreateTable(*forms::FindTableLayout("F_VP"));
  kord::RecordBuilder b(*vp);
  const int32_t memo = b.AddMemo(platform::Utf8ToWin1250("Děkujeme\r\nza práci"));
  b.Begin();
  b.SetNumber("Osoba", 123);
  b.SetNumber("PoradiPP", 2);
  b.SetText("Prijmeni", platform::Utf8ToWin1250("Šťastná"));
  b.SetNumber("HrubaMzda", 31250.5);
  b.SetText("KodCM", "7");
  b.SetText("Narozen", "1.2.1980");
  b.SetNumber("NDExist", 1);
  b.SetNumber("KonecVL", memo);
  b.End();
  std::filesystem::create_directories(data_);
  WriteFile(data_ + "/VP.DAT", b.DataFile());
  WriteFile(data_ + "/VP.TAT", b.MemoFile());

  // No template: no error for the data devices.
  const ProgramRun r = Tiskform("--device=json C1W f data vp.dat SKSOUBOR");
  ASSERT_EQ(r.code, 0) << r.err;
  const auto j = nlohmann::ordered_json::parse(r.out);
  EXPECT_EQ(j["code"], "C1W");
  EXPECT_EQ(j["dataset"], "M_VP");
  EXPECT_EQ(j["template"], home_ + "/RB\\C1W.RTM");
  EXPECT_EQ(j["fields"].size(), 80u);
  EXPECT_EQ(j["fields"][0].dump(),
            R"({"name":"NazevVyplmista","type":"text","size":30,"calculated":false})");
  EXPECT_EQ(j["fields"][79].dump(),
            R"({"name":"OsobaCela","type":"text","size":9,"calculated":true})");
  ASSERT_EQ(j["records"].size(), 1u);
  const auto& rec = j["records"][0];
  EXPECT_EQ(rec["Osoba"], 123);
  EXPECT_EQ(rec["OsobaCela"], "123 2");
  EXPECT_EQ(rec["Prijmeni"], "Šťastná");
  EXPECT_EQ(rec["HrubaMzda"].dump(), "31250.5");
  EXPECT_EQ(rec["Narozen"], "1980-02-01");
  EXPECT_EQ(rec["NDExist"], true);
  EXPECT_EQ(rec["Formular"], true);  // "f" is upper-cased
  EXPECT_EQ(rec["KodCM"], 7);
  EXPECT_EQ(rec["CM"], 0);  // an F field's 0 crosses as "0", not as an empty text
  EXPECT_EQ(rec["KonecVL"], "Děkujeme\r\nza práci");
  EXPECT_EQ(rec["NazevVyplmista"], nullptr);

  // The same as CSV, to a file, chosen through the environment.
  const ProgramRun csv =
      Tiskform("C1W F data VP.DAT SKSOUBOR", "TISKFORM_DEVICE=csv TISKFORM_OUTPUT=vp.csv");
  ASSERT_EQ(csv.code, 0) << csv.err;
  const std::string text = ReadFile(dir_ / "vp.csv");
  EXPECT_EQ(text.substr(0, text.find("\r\n")).substr(0, 36),
            "NazevVyplmista,ZavStr,Vykon,IC1Osoby");
  EXPECT_NE(text.find(",\"Děkujeme\r\nza práci\","), std::string::npos);
  EXPECT_NE(text.find(",31250.5,"), std::string::npos);
}

TEST_F(AppTest, ExitCodes) {
  EXPECT_EQ(Tiskform("A B C").code, 0);  // the usage message
  EXPECT_NE(Tiskform("A B C").err.find("Tiskform: ####CHYBA - Příliš málo parametrů"),
            std::string::npos);
  EXPECT_EQ(Tiskform("X999 F data x").code, 0);  // no form
  EXPECT_EQ(Tiskform("--device=bogus C1W F data x").code, 2);
  EXPECT_EQ(Tiskform("--colour C1W F data x").code, 2);
  EXPECT_EQ(Tiskform("--version").code, 0);
  WriteTable(data_, "F_VP", "VP.DAT", {{}});
  const ProgramRun missing = Tiskform("C1W F data VP.DAT SKSOUBOR");
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("Neexistuje soubor: " + home_ + "/RB\\C1W.RTM\nKONEC tisku"),
            std::string::npos)
      << missing.err;
  const ProgramRun broken = Tiskform("--device=json C1W F data NONE.DAT SKSOUBOR");
  EXPECT_EQ(broken.code, 1);
  EXPECT_EQ(broken.err, "Tiskform: F_VP: uvedená tabulka neexistuje\n");
  WriteFile(home_ + "/RB/C1W.RTM", "x");
  const ProgramRun screen = Tiskform("C1W F data VP.DAT SKSOUBOR");
  EXPECT_EQ(screen.code, 1);
  EXPECT_NE(screen.err.find("--device=json"), std::string::npos);
}

TEST(DataExport, IsoDates) {
  EXPECT_EQ(report::IsoDate(37622), "2003-01-01");
  EXPECT_EQ(report::IsoDateTime(37622.5), "2003-01-01T12:00:00");
  EXPECT_EQ(report::IsoDateTime(37622.5 + 0.123 / 86400), "2003-01-01T12:00:00.123");
}
