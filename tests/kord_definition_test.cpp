#include <gtest/gtest.h>

#include "forms/layouts.h"
#include "kord/table.h"
#include "platform/win1250.h"

using namespace kord;
using platform::Utf8ToWin1250;

namespace {

std::vector<int64_t> Offsets(const TKordTable& t) {
  std::vector<int64_t> v;
  for (int i = 0; i < t.Fields().Count(); ++i) v.push_back(t.Fields().Fields(i)->Offset());
  return v;
}

}  // namespace

TEST(FieldList, WhichLinesAreStored) {
  TKordTable t("T");
  TFieldList& defs = t.FieldsDefinition();
  EXPECT_EQ(defs.Add(" Osoba : N , 6 ; "), 0);
  EXPECT_EQ(defs.Strings(0), "Osoba:N,6;");
  EXPECT_EQ(defs.Add("no colon;"), -1);
  EXPECT_EQ(defs.Add("Name:"), -1);
  EXPECT_EQ(defs.Add("Odd:X,5;"), 1);    // stored, no field
  EXPECT_EQ(defs.Add("vlastni:b;"), 2);  // lower-case type letter
  EXPECT_EQ(defs.Count(), 3);
  ASSERT_EQ(t.Fields().Count(), 2);
  EXPECT_EQ(t.Fields().Fields(1)->FieldName(), "vlastni");
  EXPECT_EQ(t.Fields().Fields(1)->FieldType(), TKordFieldType::ftBoolean);
  EXPECT_EQ(t.Fields().Fields(0)->DataSize(), 3);
}

TEST(FieldList, DefinitionErrorsKeepTheLineAndAddNoField) {
  struct Case {
    const char* line;
    const char* cls;
    std::string message;
  } cases[] = {
      {"Cena:F,8.2", "EKordTableError", Utf8ToWin1250("Neukončená definice položky:Cena")},
      {"Kod:Q,1", "EKordTableError", Utf8ToWin1250("Neukončená definice položky:Kod")},
      {"Jmeno:A5;", "EKordTableError", Utf8ToWin1250("Chybná definice položky:Jmeno")},
      {"Cislo:N6;", "EKordTableError", Utf8ToWin1250("Chybná definice položky:Cislo")},
      {"Cena:F8.2;", "EKordTableError", Utf8ToWin1250("Chybná definice položkyCena")},
      {"Cena:F,82;", "EKordTableError", Utf8ToWin1250("Chybná definice položky:Cena")},
      {"Nula:F,0.0;", "Exception", Utf8ToWin1250("Vadná délka položky F")},
      {"Velke:F,10.9;", "Exception", Utf8ToWin1250("Vadná délka položky F")},
      {"Dva:A,1!!;", "EConvertError", "'1!' is not a valid integer value"},
      {"Pismena:A,x;", "EConvertError", "'x' is not a valid integer value"},
      {"Dlouhe:A,70000;", "EKordTableError", Utf8ToWin1250("Chybná definice položky:Dlouhe")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TKordTable t("T");
    t.FieldsDefinition().Add("Prvni:B;");
    try {
      t.FieldsDefinition().Add(c.line);
      ADD_FAILURE() << "no error";
    } catch (const platform::Exception& e) {
      EXPECT_STREQ(e.ClassName(), c.cls);
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(t.FieldsDefinition().Count(), 2);
    EXPECT_EQ(t.Fields().Count(), 1);
  }
}

TEST(FieldList, SizesAndFlags) {
  struct Case {
    const char* line;
    int size;
  } cases[] = {
      {"Rezerva01:F,2.0;", 1},    {"Width:F,2.2;", 2},   {"koef:F,3.6;", 4},
      {"UhrnPrij:F,8.2;", 5},     {"Zaklad:F,11.2;", 6}, {"X:F,9,9;", 8},
      {"Osoba:N,6;", 3},          {"Tisk:N,1;", 1},      {"IcoDodOd:N,10;", 5},
      {"Dat:D,'DD.MM.YYYY';", 6}, {"R:R;", 6},           {"KonecVL:T;", 4},
      {"Job_Sme:A,1!;", 1},       {"Vlastni:B;", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TKordTable t;
    t.FieldsDefinition().Add(c.line);
    ASSERT_EQ(t.Fields().Count(), 1);
    EXPECT_EQ(t.Fields().Fields(0)->DataSize(), c.size);
  }
  TKordTable t;
  t.FieldsDefinition().Add("Job!Sme:A,3;");
  t.FieldsDefinition().Add("Memo:T!;");
  EXPECT_TRUE(static_cast<TKordFieldA*>(t.Fields().Fields(0))->Scrambled());
  EXPECT_TRUE(static_cast<TKordFieldT*>(t.Fields().Fields(1))->Scrambled());
  EXPECT_EQ(t.Fields().Fields(0)->Alignment(), TAlignment::taLeftJustify);
}

TEST(FieldList, OffsetsIndexedShiftAndDelete) {
  const std::vector<std::string> lines = {"Osoba:A,6;", "JmenoPrij:A,60;", "VyplMisto:F,4.0;",
                                          "ZavStr:A,5;"};
  TKordTable plain;
  plain.SetFieldsDefinition(lines);
  EXPECT_EQ(Offsets(plain), (std::vector<int64_t>{0, 6, 66, 68}));
  TKordTable indexed;
  indexed.SetIndexed(true);
  indexed.SetFieldsDefinition(lines);
  EXPECT_EQ(Offsets(indexed), (std::vector<int64_t>{1, 7, 67, 69}));
  // Set afterwards, as the resource does: every offset moves by one, and back.
  plain.SetIndexed(true);
  EXPECT_EQ(Offsets(plain), (std::vector<int64_t>{1, 7, 67, 69}));
  plain.SetIndexed(false);
  EXPECT_EQ(Offsets(plain), (std::vector<int64_t>{0, 6, 66, 68}));

  plain.FieldsDefinition().Delete(0);
  EXPECT_EQ(Offsets(plain), (std::vector<int64_t>{6, 66, 68}));
  plain.FieldsDefinition().Insert(0, "Novy:A,1;");
  plain.FieldsDefinition().Put(1, "Zmena:A,99;");
  EXPECT_EQ(plain.Fields().Count(), 3);
  EXPECT_EQ(plain.Fields().Fields(0)->FieldName(), "JmenoPrij");
  EXPECT_THROW(plain.Fields().Fields(7), platform::EListError);
  plain.FieldsDefinition().Clear();
  EXPECT_EQ(plain.Fields().Fields(0), nullptr);
}

TEST(Layouts, ThirteenTablesWithTheirRecordLengths) {
  struct Expect {
    const char* name;
    int definitions;
    int64_t bytes;
  } expected[] = {
      {"F_X113", 147, 4121}, {"BSIDENTP", 40, 1037},  {"F_SOUBDANI", 43, 553},
      {"F_PARAM", 43, 154},  {"F_PRIJMYI", 77, 1815}, {"F_SU1", 48, 884},
      {"F_VP", 77, 1040},    {"F_A441", 30, 1057},    {"F_PARAM2", 66, 1389},
      {"F_ELDP", 140, 874},  {"F_NDCSSZ", 107, 1178}, {"F_CSSZ", 38, 478},
      {"F_ZP", 25, 284},
  };
  const auto& layouts = forms::TableLayouts();
  ASSERT_EQ(layouts.size(), std::size(expected));
  for (size_t i = 0; i < layouts.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(layouts[i].name, expected[i].name);
    auto table = forms::CreateTable(layouts[i]);
    EXPECT_EQ(table->Fields().Count(), expected[i].definitions);
    EXPECT_EQ(table->DefinitionLength(), expected[i].bytes);
    EXPECT_EQ(table->Indexed(), layouts[i].name == "F_X113");
    EXPECT_EQ(table->EncodeMode(), TCodingType::emKamenicky);
  }
  auto param = forms::CreateTable(*forms::FindTableLayout("f_param"));
  const TKordField* first = param->FieldByName("vypmod");
  EXPECT_EQ(static_cast<const TKordFieldN*>(first)->Digits(), 3);  // the first of the two
  EXPECT_EQ(forms::CreateTable(*forms::FindTableLayout("F_X113"))->Fields().Fields(0)->Offset(), 1);
  ASSERT_EQ(forms::Memo1Lines().size(), 14u);
  EXPECT_EQ(forms::Memo1Lines()[3].find_first_not_of(' '), 22u);
  EXPECT_EQ(forms::Memo1Lines()[12].find_first_not_of(' '), 20u);
}
