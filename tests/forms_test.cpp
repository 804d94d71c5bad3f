#include <gtest/gtest.h>

#include "forms/datasets.h"
#include "forms/layouts.h"
#include "platform/regional.h"
#include "platform/win1250.h"

using namespace forms;
using platform::Utf8ToWin1250;

namespace {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetRegional(platform::RegionalSettings{}); }
  void TearDown() override { platform::SetRegional(platform::RegionalSettings{}); }

  static void SetSeparator(char sep) {
    platform::RegionalSettings s;
    s.decimalSeparator = sep;
    platform::SetRegional(s);
  }

  std::unique_ptr<MemDataset> Open(const char* name, TraceWriter* trace = nullptr) {
    auto ds = CreateDataset(*FindDatasetLayout(name), trace);
    ds->Open();
    return ds;
  }

  // Inserts one record from name/text pairs (UTF-8) and posts it.
  static void Add(MemDataset& ds, std::vector<std::pair<const char*, std::string>> values) {
    ds.Insert();
    // As the run copies: a value that does not convert leaves the field empty.
    for (const auto& [field, text] : values) try {
        ds.FieldByName(field).SetAsString(Utf8ToWin1250(text));
      } catch (const platform::EConvertError&) {
      }
    ds.Post();
  }

  static std::string Get(MemDataset& ds, const char* field) {
    return platform::Win1250ToUtf8(ds.FieldByName(field).AsString());
  }
};

}  // namespace

TEST_F(FormsTest, EveryInputFieldHasAMemoryFieldAndCountsHold) {
  const std::map<std::string, int> counts = {
      {"M_SOUBDANI", 50}, {"M_SU1", 49},     {"M_VP", 80},    {"M_A441", 31}, {"M_PRIJMYI", 79},
      {"M_ELDP", 148},    {"M_NDCSSZ", 109}, {"M_X113", 163}, {"M_CSSZ", 40}, {"M_ZP", 83}};
  ASSERT_EQ(DatasetLayouts().size(), 10u);
  for (const DatasetLayout& layout : DatasetLayouts()) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(static_cast<int>(layout.fields.size()), counts.at(layout.name));
    auto ds = CreateDataset(layout, nullptr);
    auto table = CreateTable(*FindTableLayout(layout.inputTable));
    std::vector<std::string> names;
    table->GetFieldNames(names);
    for (const std::string& name : names) EXPECT_NE(ds->FindField(name), nullptr) << name;
  }
  auto x113 = CreateDataset(*FindDatasetLayout("M_X113"), nullptr);
  EXPECT_EQ(x113->SortedField(), "C_Name_Sur");
  EXPECT_EQ(x113->FieldByName("AdrOSSZ2").Size(), 40);
  EXPECT_EQ(x113->FieldByName("MOdeslani").Size(), 30);
  EXPECT_EQ(
      CreateDataset(*FindDatasetLayout("M_ELDP"), nullptr)->FieldByName("obec").DisplayWidth(), 30);
  try {
    x113->FieldByName("Nic");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "M_X113: Field 'Nic' not found");
  }
}

TEST_F(FormsTest, TextConversions) {
  MemDataset ds("M_T", {{"Txt", FieldType::kText, 2},
                        {"Dflt", FieldType::kText, 0},
                        {"I16", FieldType::kInt16},
                        {"I32", FieldType::kInt32},
                        {"Cur", FieldType::kCurrency},
                        {"Flt", FieldType::kFloat},
                        {"Dat", FieldType::kDate},
                        {"DT", FieldType::kDateTime},
                        {"Bool", FieldType::kBoolean},
                        {"Blob", FieldType::kBlob}});
  ds.Open();
  struct Case {
    char sep;
    const char* field;
    const char* in;
    const char* out;
    bool converts;
  } cases[] = {
      {',', "Txt", "Abcdefg", "Ab", true},
      {',', "Dflt", "xxxxxxxxxxxxxxxxxxxxxxxxx", "", true},
      {',', "I16", "-32768", "-32768", true},
      {',', "I16", "32768", "", false},
      {',', "I32", "2147483647", "2147483647", true},
      {',', "I32", "12a", "", false},
      {',', "I32", "1,5", "", false},
      {',', "Cur", "12", "12", true},
      {',', "Cur", "12,5", "12,5", true},
      {',', "Cur", "1234,56789", "1234,5679", true},
      {',', "Cur", "-0,00005", "-0,0001", true},
      {',', "Cur", "12.5", "", false},
      {'.', "Cur", "12.5", "12.5", true},
      {'.', "Cur", "12,5", "", false},
      {',', "Flt", "0,1", "0,1", true},
      {'.', "Flt", "1e3", "1000", true},
      {',', "Flt", "x", "", false},
      {',', "Dat", "1.2.1980", "1.2.1980", true},
      {',', "Dat", "31.2.1980", "", false},
      {',', "DT", "1.1.2003 12:00", "1.1.2003 12:00:00", true},
      {',', "Bool", "True", "True", true},
      {',', "Bool", "f", "False", true},
      {',', "Bool", "ano", "", false},
      {',', "Blob", "a\r\nb", "a\r\nb", true},
      {',', "I32", "", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.in + " sep " + c.sep);
    SetSeparator(c.sep);
    ds.Insert();
    MemField& f = ds.FieldByName(c.field);
    bool converted = true;
    try {
      f.SetAsString(c.in);
    } catch (const platform::Exception&) {
      converted = false;
    }
    EXPECT_EQ(converted, c.converts);
    if (std::string(c.field) == "Dflt")
      EXPECT_EQ(f.AsString(), std::string(20, 'x'));
    else
      EXPECT_EQ(f.AsString(), c.out);
    EXPECT_EQ(f.IsNull(), std::string(c.out).empty() && std::string(c.field) != "Dflt");
    ds.Cancel();
  }
  ds.Insert();
  ds.FieldByName("Cur").SetAsString("1234,56");
  EXPECT_EQ(ds.FieldByName("Cur").AsCurrency(), 12345600);
  EXPECT_EQ(ds.FieldByName("I32").AsInteger(), 0);  // null reads as 0
  ds.Post();
  ds.First();
  EXPECT_EQ(ds.FieldByName("cur").AsString(), "1234,56");
}

TEST_F(FormsTest, InsertBeforeTheCurrentRecord) {
  auto ds = Open("M_SU1");
  for (const char* name : {"C", "B", "A"}) Add(*ds, {{"Jmeno", name}});
  std::vector<std::string> seen;
  for (ds->First(); !ds->Eof(); ds->Next()) seen.push_back(Get(*ds, "Jmeno"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C"}));
  ds->MoveTo(1);
  Add(*ds, {{"Jmeno", "AB"}});
  EXPECT_EQ(ds->RecNo(), 1);
  seen.clear();
  for (ds->First(); !ds->Eof(); ds->Next()) seen.push_back(Get(*ds, "Jmeno"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "AB", "B", "C"}));
}

TEST_F(FormsTest, X113KeepsSurnameOrderByBytes) {
  auto ds = Open("M_X113");
  for (const char* name : {"novák", "Nováková", "Adam", "Čech", "Zeman", "čapek"})
    Add(*ds, {{"C_Name_Sur", name}});
  std::vector<std::string> seen;
  for (ds->First(); !ds->Eof(); ds->Next()) seen.push_back(Get(*ds, "C_Name_Sur"));
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Adam", "novák", "Nováková", "Zeman", "Čech", "čapek"}));
}

TEST_F(FormsTest, X113CalculatedFields) {
  struct Trace : TraceWriter {
    int lines = 0;
    void WriteLog(const std::string&) override { ++lines; }
    bool Enabled() const override { return true; }
  } trace;
  auto ds = Open("M_X113", &trace);
  Add(*ds, {{"C_Name_Sur", " Novák "},
            {"C_Name_Fir", "Jan"},
            {"C_Name_Tit", "Ing."},
            {"Comp_Str", "Dlouhá"},
            {"Comp_Num", "12"},
            {"Comp_Pnu", "110 00"},
            {"Comp_Cit", "Praha"},
            {"CFro", "2005-03-01"},
            {"Sqnr", "19750"},
            {"Comp_VS", "XYZ"},
            {"C_Bno", "7501011234"},
            {"C_Birt_Nam", "Nováková"}});
  EXPECT_GT(trace.lines, 2 * 12);  // after every assignment, and again after the post
  EXPECT_EQ(trace.lines % 2, 0);
  Add(*ds, {{"C_Name_Sur", "Nový"},
            {"C_Name_Fir", "Jan"},
            {"Comp_Pnu", "110 00"},
            {"Comp_Cit", "Praha"},
            {"Comp_Num", "12"},
            {"Sqnr", "abc"}});
  ds->First();
  EXPECT_EQ(Get(*ds, "PrijmeniJmenoZP"), "Novák JanIng.");
  EXPECT_EQ(Get(*ds, "SidloZamestnavatele"), "Dlouhá 12, 110 00 Praha");
  EXPECT_EQ(Get(*ds, "ZmDenZP") + "|" + Get(*ds, "ZmMesZP") + "|" + Get(*ds, "ZmRokZP"),
            "01|03|2005");
  EXPECT_EQ(Get(*ds, "RokNar"), "1975");
  EXPECT_EQ(Get(*ds, "Kod"), "X");
  EXPECT_EQ(Get(*ds, "CisloPoj"), "7501011234");
  EXPECT_EQ(Get(*ds, "JmenoVystavitele"), "Nováková");
  ds->Next();
  EXPECT_EQ(Get(*ds, "PrijmeniJmenoZP"), "Nový Jan");
  EXPECT_EQ(Get(*ds, "SidloZamestnavatele"), "110 00 Praha 12");
  EXPECT_EQ(Get(*ds, "ZmDenZP") + Get(*ds, "ZmMesZP") + Get(*ds, "ZmRokZP"), "");
  EXPECT_EQ(Get(*ds, "RokNar"), "");  // Sqnr did not convert
  EXPECT_EQ(Get(*ds, "SNavicSloupec"), "");
}

TEST_F(FormsTest, VpAndCsszCalculatedFields) {
  auto vp = Open("M_VP");
  Add(*vp, {{"Osoba", "123"}, {"PoradiPP", "2"}});
  Add(*vp, {{"Osoba", "123"}});
  vp->First();
  EXPECT_EQ(Get(*vp, "OsobaCela"), "123 ");
  vp->Next();
  EXPECT_EQ(Get(*vp, "OsobaCela"), "123 2");
  EXPECT_EQ(Get(*vp, "NazevVyplmista"), "");
  auto cssz = Open("M_CSSZ");
  Add(*cssz, {{"CSSZJmeno", "Eva"}, {"CSSZPrij", "Malá"}});
  cssz->First();
  EXPECT_EQ(Get(*cssz, "KontaktniPracovnik"), "Eva Malá");
  EXPECT_EQ(Get(*cssz, "VyrPocDny"), "0");
}

TEST_F(FormsTest, ZpBoxes) {
  auto boxes = [](MemDataset& ds, const std::string& base, int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) {
      const std::string v =
          platform::Win1250ToUtf8(ds.FieldByName(base + std::to_string(i)).AsString());
      s += v.empty() ? "_" : v;
    }
    return s;
  };
  auto phoneBoxes = [](MemDataset& ds) {
    std::string s;
    for (int i = 1; i <= 9; ++i) {
      const std::string v = ds.FieldByName("Telefon0" + std::to_string(i)).AsString();
      s += v.empty() ? "_" : v;
    }
    return s;
  };
  struct Street {
    const char* ulice;
    const char* bez;
    const char* cp;
    const char* boxes;
  } streets[] = {
      {"Nádražní 12", "NÁDRAŽNÍ", "12", "  12"},
      {"Nádražní 12a", "NÁDRAŽNÍ 12A", "     ", "    "},
      {"1234", "", "1234", "1234"},
      {"Dlouhá 1234/56  ", "DLOUHÁ", "1234/56", "1234"},
  };
  for (const auto& s : streets) {
    SCOPED_TRACE(s.ulice);
    auto ds = Open("M_ZP");
    Add(*ds, {{"Ulice", s.ulice},
              {"PocetZ", "12"},
              {"ICO", "12345678"},
              {"Telefon1", "+420 123 456 789"}});
    ds->First();
    EXPECT_EQ(Get(*ds, "UliceBezCPV"), s.bez);
    EXPECT_EQ(Get(*ds, "CP"), s.cp);
    EXPECT_EQ(Get(*ds, "CP1") + Get(*ds, "CP2") + Get(*ds, "CP3") + Get(*ds, "CP4"), s.boxes);
    EXPECT_EQ(boxes(*ds, "PocetZ", 6), "000012");
    EXPECT_EQ(boxes(*ds, "ICO", 10), "0012345678");
    EXPECT_EQ(phoneBoxes(*ds), "+42012345");
  }
  auto empty = Open("M_ZP");
  Add(*empty, {{"PocetZ", "7"}, {"ICO", "1"}, {"Zaklad", "5"}, {"Telefon1", "602 11"}});
  empty->First();
  EXPECT_EQ(boxes(*empty, "PocetZ", 6), "000007");
  EXPECT_EQ(boxes(*empty, "ICO", 10) + boxes(*empty, "Zaklad", 12) + phoneBoxes(*empty),
            std::string(10 + 12 + 9, '_'));
  auto phone = Open("M_ZP");
  Add(*phone, {{"Ulice", "A 1"}, {"Telefon1", "602 11"}});
  phone->First();
  EXPECT_EQ(phoneBoxes(*phone), "60211____");
  EXPECT_EQ(boxes(*phone, "ICO", 10), "0000000000");
}

TEST_F(FormsTest, ZpAmountBoxesUnderBothSeparators) {
  struct Case {
    char sep;
    const char* amount;
    const char* boxes;
  } cases[] = {
      {',', "1234", "000001234.00"},    {',', "1234,5", "000001234,50"},
      {',', "1234,56", "000001234,56"}, {',', "0,125", "000000000,12"},
      {',', "", "000000000.00"},        {',', "1234567890", "234567890.00"},
      {'.', "1234.5", "000001234.50"},  {'.', "0.5", "000000000.50"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amount);
    SetSeparator(c.sep);
    auto ds = Open("M_ZP");
    Add(*ds, {{"Ulice", "Krátká 1"}, {"Zaklad", c.amount}, {"Odvod", c.amount}});
    ds->First();
    std::string z, o;
    for (int i = 1; i <= 12; ++i) {
      z += ds->FieldByName("Zaklad" + std::to_string(i)).AsString();
      o += ds->FieldByName("Odvod" + std::to_string(i)).AsString();
    }
    EXPECT_EQ(z, c.boxes);
    EXPECT_EQ(o, c.boxes);
  }
}

TEST(TextHelpers, PadLeftAndPosOfOccurrence) {
  EXPECT_EQ(PadLeft("7", 4, '0', false), "0007");
  EXPECT_EQ(PadLeft("12345", 4, '0', false), "1234");
  EXPECT_EQ(PadLeft("12345", 4, '0', true), "12345");
  EXPECT_EQ(PadLeft("7", 4, '\0', false), "7");
  EXPECT_EQ(PosOfOccurrence(" ", "Dlouha 12  ", 0), 7);
  EXPECT_EQ(PosOfOccurrence("aa", "aaa", 2), 2);
  EXPECT_EQ(PosOfOccurrence("-", "a-b-c", 2), 4);
  EXPECT_EQ(PosOfOccurrence("-", "a-b-c", 5), 4);
  EXPECT_EQ(PosOfOccurrence("-", "a-b-c", -1), 0);
  EXPECT_EQ(PosOfOccurrence("", "abc", 1), 0);
  EXPECT_EQ(PosOfOccurrence("B", "abc", 1), 2);
}
