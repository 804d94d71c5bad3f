#include "tools/kord_tool.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "forms/layouts.h"
#include "kord/builder.h"
#include "platform/win1250.h"
#include "test_util.h"

namespace {

struct Result {
  int code;
  std::string out, err;
};

Result Kord(std::vector<std::string> args) {
  std::vector<const char*> argv{"kord"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int code = kordtool::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

class KordToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto table = forms::CreateTable(*forms::FindTableLayout("F_VP"));
    kord::RecordBuilder b(*table);
    const int32_t memo = b.AddMemo(platform::Utf8ToWin1250("Konec: řádek 1\r\nřádek 2"));
    b.Begin();
    b.SetNumber("Imes", 1);
    b.SetText("Rok", "2026");
    b.SetText("Prijmeni", platform::Utf8ToWin1250("Novák, \"Jr\""));
    b.SetNumber("HrubaMzda", 12345.67);
    b.SetNumber("KonecVL", memo);
    b.End();
    b.Begin();
    b.SetText("Rok", "2025");
    b.End();
    testutil::WriteFile(dir_ / "VP.DAT", b.DataFile());
    testutil::WriteFile(dir_ / "VP.TAT", b.MemoFile());
  }
  testutil::TempDir dir_;
};

}  // namespace

TEST_F(KordToolTest, DumpsJson) {
  const Result r = Kord({"dump", "--layout", "f_vp", dir_ / "VP.DAT"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto j = nlohmann::ordered_json::parse(r.out);
  EXPECT_EQ(j["layout"], "F_VP");
  EXPECT_EQ(j["recordLength"], 1040);
  EXPECT_EQ(j["recordCount"], 2);
  EXPECT_EQ(j["fields"].size(), 77u);
  EXPECT_EQ(j["fields"][1].dump(), R"({"name":"Rok","type":"A","offset":1,"size":4})");
  const auto& first = j["records"][0];
  EXPECT_EQ(first.begin().key(), "Imes");
  EXPECT_EQ(first["Imes"], true);
  EXPECT_EQ(first["Rok"], "2026");
  EXPECT_EQ(first["Prijmeni"].get<std::string>().substr(0, 12), "Novák, \"Jr\"");
  EXPECT_EQ(first["HrubaMzda"].dump(), "12345.67");
  EXPECT_EQ(first["KonecVL"], "Konec: řádek 1\r\nřádek 2");
  EXPECT_EQ(j["records"][1]["Rok"], "2025");
  EXPECT_EQ(j["records"][1]["Imes"], false);
}

TEST_F(KordToolTest, DumpsCsvAndInfo) {
  const Result csv = Kord({"dump", "--layout=F_VP", "--format=csv", dir_ / "VP.DAT"});
  ASSERT_EQ(csv.code, 0) << csv.err;
  EXPECT_EQ(csv.out.substr(0, 28), "Imes,Rok,Mesic,NazevMes,Naze");
  const std::string row = csv.out.substr(csv.out.find("\r\n") + 2);
  EXPECT_EQ(row.substr(0, 12), "true,2026,0,");
  EXPECT_NE(row.find(",\"Novák, \"\"Jr\"\""), std::string::npos);
  EXPECT_NE(row.find("\"Konec: řádek 1\r\nřádek 2\""), std::string::npos);

  const Result info = Kord({"info", "--layout", "F_VP", dir_ / "VP.DAT"});
  EXPECT_EQ(info.code, 0);
  EXPECT_NE(info.out.find("header count: 2\nrecord length: 1040\nlive records: 2\nmemo file: "),
            std::string::npos)
      << info.out;
}

TEST_F(KordToolTest, RepeatedNamesAndErrors) {
  auto table = forms::CreateTable(*forms::FindTableLayout("F_PARAM"));
  kord::RecordBuilder b(*table);
  b.Begin();
  b.End();
  testutil::WriteFile(dir_ / "P.DAT", b.DataFile());
  const Result r = Kord({"dump", "--layout", "F_PARAM", dir_ / "P.DAT"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto j = nlohmann::ordered_json::parse(r.out);
  EXPECT_TRUE(j["records"][0].contains("VypMOd#2"));
  EXPECT_EQ(j["records"][0].size(), 43u);

  // F_VP data read with the F_PARAM layout: the record length does not match.
  const Result wrong = Kord({"dump", "--layout", "F_PARAM", dir_ / "VP.DAT"});
  EXPECT_EQ(wrong.code, 1);
  EXPECT_EQ(wrong.err,
            "kord: " + (dir_ / "VP.DAT") + ": F_PARAM: chyba v definici položek nebo indexu\n");
  EXPECT_EQ(Kord({"dump", "--layout", "NOPE", dir_ / "VP.DAT"}).code, 1);
  EXPECT_EQ(Kord({"dump", "--layout", "F_VP", dir_ / "none"}).code, 1);
  EXPECT_EQ(Kord({"dump", "--format", "xml", "--layout", "F_VP", dir_ / "VP.DAT"}).code, 2);
  EXPECT_EQ(Kord({}).code, 2);
}
