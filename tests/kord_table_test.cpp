#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "kord/format.h"
#include "kord/table.h"
#include "kord_fixture.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/win1250.h"

using namespace kord;
using kordtest::Bytes;
using kordtest::DataFile;
using platform::Utf8ToWin1250;
using testutil::WriteFile;

namespace {

// Records of an indexed table "Flag + Cislo:F,4.0;" (3 bytes); value = record number.
std::string Rec(int flag, int number) {
  return Bytes({flag, number >> 8, number & 0xFF});
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetRegional(platform::RegionalSettings{}); }

  // Opens `bytes` as TEST.DAT in a fresh folder with the given definitions.
  TKordTable& OpenTable(const std::string& bytes, std::vector<std::string> lines, bool indexed,
                        const std::string& memo = {}) {
    WriteFile(dir_ / "TEST.DAT", bytes);
    if (!memo.empty()) WriteFile(dir_ / "TEST.TAT", memo);
    table_ = std::make_unique<TKordTable>("F_TEST");
    table_->SetFieldsDefinition(lines);
    table_->SetIndexed(indexed);
    table_->SetEncodeMode(TCodingType::emKamenicky);
    table_->OnBeforeScroll = [this](TKordTable&) { events_ += "b"; };
    table_->OnAfterScroll = [this](TKordTable&) { events_ += "a"; };
    table_->SetTableFolder(dir_.path());
    table_->SetTableName("TEST.DAT");
    table_->Open();
    return *table_;
  }

  double Current() { return table_->FieldByName("Cislo")->AsFloat(); }

  std::string Error(const std::function<void()>& f) {
    try {
      f();
    } catch (const platform::Exception& e) {
      return std::string(e.ClassName()) + ": " + e.what();
    }
    return "no error";
  }

  testutil::TempDir dir_;
  std::unique_ptr<TKordTable> table_;
  std::string events_;
};

const std::vector<std::string> kNumber = {"Cislo:F,4.0;"};

}  // namespace

TEST_F(TableTest, IndexedNavigationSkipsDeadRecords) {
  TKordTable& t = OpenTable(DataFile(3, {Rec(0, 10), Rec(1, 11), Rec(0, 12)}), kNumber, true);
  EXPECT_EQ(t.RecordCount(), 2);
  t.First();
  EXPECT_EQ(Current(), 10);
  t.Next();
  EXPECT_EQ(Current(), 12);
  events_.clear();
  t.Next();  // at the end: nothing, no events
  EXPECT_EQ(events_, "");
  t.Last();
  EXPECT_EQ(Current(), 12);
  t.Prior();
  EXPECT_EQ(Current(), 10);
  events_.clear();
  t.Prior();  // the first live record is the file's first record
  EXPECT_EQ(events_, "");
  EXPECT_EQ(Current(), 10);
}

TEST_F(TableTest, WalksBothWaysAndAtTheEnds) {
  // Dead records at both ends: one more step calls the events but keeps the record.
  TKordTable& t = OpenTable(DataFile(3, {Rec(1, 1), Rec(0, 2), Rec(0, 3), Rec(0, 4), Rec(9, 5)}),
                            kNumber, true);
  ASSERT_EQ(t.RecordCount(), 3);
  std::vector<double> seen;
  t.Last();
  seen.push_back(Current());
  for (int i = 1; i < t.RecordCount(); ++i) {
    t.Prior();
    seen.push_back(Current());
  }
  EXPECT_EQ(seen, (std::vector<double>{4, 3, 2}));
  events_.clear();
  t.Prior();
  EXPECT_EQ(events_, "ba");
  EXPECT_EQ(Current(), 2);
  seen.clear();
  t.First();
  seen.push_back(Current());
  for (int i = 1; i < t.RecordCount(); ++i) {
    t.Next();
    seen.push_back(Current());
  }
  EXPECT_EQ(seen, (std::vector<double>{2, 3, 4}));
  events_.clear();
  t.Next();
  EXPECT_EQ(events_, "ba");
  EXPECT_EQ(Current(), 4);
}

TEST_F(TableTest, StraightAfterOpen) {
  TKordTable& t =
      OpenTable(DataFile(2, {Bytes({0, 1}), Bytes({0, 2}), Bytes({0, 3})}), kNumber, false);
  EXPECT_EQ(Current(), 0);  // no record current yet: zero bytes
  t.Next();
  EXPECT_EQ(events_, "");
  t.Prior();  // the one before the file's last record
  EXPECT_EQ(Current(), 2);
}

TEST_F(TableTest, EmptyAndAllDeadTables) {
  TKordTable& t = OpenTable(kordtest::Header(0, 3), kNumber, true);
  EXPECT_EQ(t.RecordCount(), 0);
  t.First();
  t.Last();
  EXPECT_EQ(events_, "baba");
  events_.clear();
  t.Next();
  t.Prior();
  EXPECT_EQ(events_, "");
  TKordTable& dead = OpenTable(DataFile(3, {Rec(1, 5), Rec(2, 6)}), kNumber, true);
  EXPECT_EQ(dead.RecordCount(), 0);
  dead.First();
  EXPECT_EQ(Current(), 0);
}

TEST_F(TableTest, NegativeCountAndNonIndexedFlagBytes) {
  std::string file = DataFile(3, {Rec(7, 1), Rec(8, 2), Rec(9, 3)});
  file.replace(0, 4, kordtest::Le32(static_cast<uint32_t>(-3)));
  TKordTable& t = OpenTable(file, {"Lead:A,1;", "Cislo:F,4.0;"}, false);
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.Fields().Fields(0)->Offset(), 0);
  t.Last();
  EXPECT_EQ(Current(), 3);
}

TEST_F(TableTest, OpenRefusals) {
  const std::string good = DataFile(3, {Rec(0, 1), Rec(0, 2)});
  std::string longer = good + "x", shorter = good;
  kordtest::Truncate(shorter, good.size() - 1);
  const std::string corrupt = "EFileError: " + Utf8ToWin1250("Datový soubor je porušen") + "\n";
  for (const std::string& bytes : {longer, shorter, std::string("\x01\x00", 2)}) {
    EXPECT_EQ(Error([&] { OpenTable(bytes, kNumber, true); }),
              corrupt + Utf8ToWin1250(dir_.path()) + "\\TEST.DAT");
    EXPECT_FALSE(table_->Active());
    EXPECT_EQ(table_->RecordCount(), -1);
    table_->Close();
  }
  // A count whose 32-bit product with the length wraps to the real size.
  std::string wrap = kordtest::Header(0x40000001, 4) + "abcd";
  EXPECT_NE(Error([&] { OpenTable(wrap, {"X:A,4;"}, false); }).find("EFileError"),
            std::string::npos);

  EXPECT_EQ(Error([&] {
              OpenTable(good, {"Cislo:F,4.0;", "X:B;"}, true);
            }),
            "EKordTableError: F_TEST" + Utf8ToWin1250(": chyba v definici položek nebo indexu"));
  EXPECT_EQ(table_->RecordCount(), -1);

  TKordTable t("F_X");
  EXPECT_EQ(Error([&] { t.Open(); }),
            "EKordTableError: F_X" + Utf8ToWin1250(": nejsou nadefinovány položky"));
  t.FieldsDefinition().Add("A:B;");
  EXPECT_EQ(Error([&] { t.Open(); }),
            "EKordTableError: F_X" + Utf8ToWin1250(": není nadefinována tabulka"));
  EXPECT_EQ(Error([&] { t.First(); }),
            "EKordTableError: F_X" + Utf8ToWin1250(": tabulka není otevřena"));
  EXPECT_EQ(Error([&] { t.SetTableFolder(dir_ / "none"); }),
            "EKordTableError: F_X" + Utf8ToWin1250(": uvedený adresář neexistuje"));
  EXPECT_EQ(t.TableFolder(), "");
  EXPECT_EQ(Error([&] { t.SetTableName(dir_ / "none.dat"); }),
            "EKordTableError: F_X" + Utf8ToWin1250(": uvedená tabulka neexistuje"));
}

TEST_F(TableTest, MemoFileOpensOnlyForMemoFields) {
  const std::string data = DataFile(4, {kordtest::Le32(0)});
  // No memo file on disk: a table without memo fields opens.
  EXPECT_EQ(Error([&] { OpenTable(data, {"X:A,4;"}, false); }), "no error");
  std::filesystem::remove(dir_ / "TEST.TAT");
  EXPECT_EQ(Error([&] { OpenTable(data, {"Poznamka:T;"}, false); }),
            "EFOpenError: Cannot open file " + Utf8ToWin1250(dir_.path()) + "\\TEST.TAT");
  EXPECT_FALSE(table_->Active());
}

TEST_F(TableTest, NamesFoldersAndMemoNames) {
  WriteFile(dir_ / "BSIDENTP.000", kordtest::Header(0, 1));
  WriteFile(dir_ / "NOEXT", kordtest::Header(0, 1));
  TKordTable t("BS");
  t.FieldsDefinition().Add("A:B;");
  t.SetTableFolder(dir_.path());
  EXPECT_EQ(t.TableFolder(), dir_.path() + "\\");
  t.SetTableName("bsidentp.000");  // found without regard to case
  EXPECT_EQ(t.TableName(), "bsidentp.000");
  EXPECT_EQ(t.MemoFileName(), dir_.path() + "\\bsidentp.T00");
  t.SetTableName(dir_ / "NOEXT");
  EXPECT_EQ(t.MemoFileName(), dir_ / "NOEXT.T");
  EXPECT_EQ(t.TableFolder(), dir_.path() + "/");
  t.SetTableFolder(dir_.path());  // forgets the table
  EXPECT_EQ(t.TableName(), "");
  // Without a folder, the current directory.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  TKordTable u;
  u.SetTableName("NOEXT");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(u.DataFileName(),
            Utf8ToWin1250(std::filesystem::canonical(dir_.path()).string()) + "\\NOEXT");
}

TEST_F(TableTest, PropertiesWhileOpen) {
  TKordTable& t = OpenTable(DataFile(3, {Rec(0, 1)}), kNumber, true);
  t.SetExclusive(false);  // unchanged: fine
  EXPECT_EQ(Error([&] { t.SetExclusive(true); }),
            "EKordTableError: F_TEST" + Utf8ToWin1250(": nelze přepnout, tabulka je otevřena"));
  t.SetIndexed(false);  // ignored while open
  EXPECT_TRUE(t.Indexed());
  t.SetReadOnly(false);
  EXPECT_TRUE(t.ReadOnly());
  int opens = 0;
  t.OnBeforeOpen = [&](TKordTable&) { ++opens; };
  t.Open();
  EXPECT_EQ(opens, 0);
  std::vector<std::string> names{"old"};
  t.GetFieldNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"Cislo"});
  EXPECT_EQ(t.FieldByName("CISLO"), t.Fields().Fields(0));
  EXPECT_EQ(t.FieldByName("nic"), nullptr);
  t.Close();
  t.Close();
  EXPECT_EQ(t.RecordCount(), -1);
}

TEST_F(TableTest, SharingModes) {
  OpenTable(DataFile(3, {Rec(0, 1)}), kNumber, true);
  const int fd = ::open((dir_ / "TEST.DAT").c_str(), O_RDONLY);
  EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);  // a writer is kept out
  EXPECT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);  // readers are welcome
  TKordTable other("F_OTHER");
  other.FieldsDefinition().Add("X:A,3;");
  other.SetExclusive(true);
  other.SetTableName(dir_ / "TEST.DAT");
  EXPECT_EQ(Error([&] { other.Open(); }), "EFOpenError: Cannot open file " + dir_ / "TEST.DAT");
  ::close(fd);
}

TEST_F(TableTest, FieldValues) {
  uint8_t real[6];
  EncodeReal48(693594 + 37622.5, real);
  std::string rec =
      Bytes({'A', 'b', ' ', ' '}) + std::string(reinterpret_cast<char*>(real), 6) +
      Bytes({0xFF, 0x12, 0x34, 0x50, 0x87 ^ kScrambleMask, kScrambleMask, 0x41 ^ kScrambleMask});
  TKordTable& t = OpenTable(
      DataFile(static_cast<uint16_t>(rec.size()), {rec}),
      {"Text:A,4;", "Kdy:D,'DD.MM.YYYY';", "Flag:B;", "Cislo:N,5;", "Tajne:A,3!;"}, false);
  t.First();
  std::string fired;
  t.FieldByName("Text")->OnGetText = [&](TKordField&, const std::string& s) { fired = s; };
  EXPECT_EQ(t.FieldByName("Text")->AsString(), "Ab  ");
  t.SetCutTrailSPC(true);
  EXPECT_EQ(t.FieldByName("Text")->AsString(), "Ab");
  EXPECT_EQ(fired, "Ab  ");
  TKordField* d = t.FieldByName("Kdy");
  EXPECT_EQ(d->AsFloat(), 37622.5);
  EXPECT_EQ(d->AsDate(), 37622);
  EXPECT_EQ(d->AsTime(), 0.5);
  EXPECT_EQ(d->AsString(), "1.1.2003 12:00:00");
  EXPECT_EQ(d->AsVariant(), platform::Variant(37622.5));
  TKordField* b = t.FieldByName("Flag");
  EXPECT_EQ(b->AsString(), "True");
  EXPECT_EQ(b->AsFloat(), 255);
  EXPECT_EQ(b->AsVariant(), platform::Variant(true));
  EXPECT_EQ(t.FieldByName("Cislo")->AsVariant(), platform::Variant("12345"));
  EXPECT_EQ(t.FieldByName("Cislo")->AsFloat(), 12345);
  // Scrambled: 0x87 is Kamenický č; a stored mask byte ends the text.
  EXPECT_EQ(t.FieldByName("Tajne")->AsString(), "\xE8");
  EXPECT_EQ(Error([&] { t.FieldByName("Text")->AsBoolean(); }), "EAbstractError: Abstract Error");
  EXPECT_EQ(Error([&] { t.FieldByName("Kdy")->AsBoolean(); }), "EAbstractError: Abstract Error");
  EXPECT_EQ(Error([&] { t.FieldByName("Cislo")->AsDate(); }), "EAbstractError: Abstract Error");
  t.Close();
  EXPECT_EQ(Error([&] { t.FieldByName("Text")->AsString(); }),
            "EKordTableError: " + Utf8ToWin1250(": tabulka není otevřena"));
}

TEST_F(TableTest, RealFieldTexts) {
  uint8_t real[6];
  EncodeReal48(-2.0 / 3.0, real);
  TKordTable& t =
      OpenTable(DataFile(6, {std::string(reinterpret_cast<char*>(real), 6)}), {"Podil:R;"}, false);
  t.First();
  std::string fired;
  t.FieldByName("Podil")->OnGetText = [&](TKordField&, const std::string& s) { fired = s; };
  EXPECT_EQ(t.FieldByName("Podil")->AsString(), "-0,66666666667");  // 11 digits
  EXPECT_EQ(fired, "-0,66666666666697");                            // 15 digits of the 6-byte real
  EXPECT_NEAR(t.FieldByName("Podil")->AsVariant().AsDouble(), -2.0 / 3.0, 1e-11);
  EXPECT_EQ(t.FieldByName("Podil")->Alignment(), TAlignment::taRightJustify);
}

TEST_F(TableTest, NFieldThatIsNoNumberShowsTheMessage) {
  struct Capture : platform::MessageSink {
    std::string text;
    void Show(const std::string& t, const std::string&, platform::MessageKind) override {
      text += t;
    }
  };
  auto capture = std::make_shared<Capture>();
  auto previous = platform::SetMessageSink(capture);
  TKordTable& t = OpenTable(DataFile(6, {Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x00})}),
                            {"Velke:N,11;", "Nic:N,0;"}, false);
  t.First();
  EXPECT_EQ(t.FieldByName("Velke")->AsFloat(), 0);  // 99999999990 is above 32 bits
  EXPECT_EQ(t.FieldByName("Nic")->AsFloat(), 0);
  EXPECT_EQ(capture->text, Utf8ToWin1250("Chyba při převodu položky N na číslo.") +
                               Utf8ToWin1250("Chyba při převodu položky N na číslo."));
  platform::SetMessageSink(previous);
}

TEST_F(TableTest, MemoTexts) {
  // A continuation's lowest byte is its 0 byte, so texts go on at multiples of 256.
  std::string memo(1300, '\0');
  auto put = [&memo](size_t at, const std::string& bytes) {
    memo.replace(at, bytes.size(), bytes);
  };
  put(10, Bytes({5, 0}) + "AB\r\nC");
  put(30, Bytes({6, 0}) + "XY" + kordtest::Le32(256));   // continues at 256
  put(256, Bytes({0xA0, 'Z', 0xFE, 'W'}));               // Kamenický á, Z, _, W
  put(512, Bytes({0xFF, 0xFF}) + kordtest::Le32(512));   // a link back onto itself
  put(700, Bytes({9, 0}) + "A" + kordtest::Le32(1024));  // then links that carry no text
  put(1024, kordtest::Le32(1024));
  std::string rec;
  for (uint32_t at : {10u, 30u, 512u, 0u, 5000u, 700u}) rec += kordtest::Le32(at);
  TKordTable& t = OpenTable(DataFile(24, {rec}),
                            {"M1:T;", "M2:T;", "M3:T;", "M4:T;", "M5:T;", "M6:T;"}, false, memo);
  t.First();
  EXPECT_EQ(t.FieldByName("M1")->AsString(), "AB");
  EXPECT_EQ(t.FieldByName("M1")->AsVariant(), platform::Variant("AB\r\nC"));
  EXPECT_EQ(t.FieldByName("M2")->AsString(), "XY\xE1Z_W");
  t.SetEncode(false);
  EXPECT_EQ(t.FieldByName("M2")->AsString(), "XY\xA0Z\xFEW");
  EXPECT_LE(t.FieldByName("M3")->AsString().size(), memo.size());  // the loop ends
  EXPECT_EQ(t.FieldByName("M4")->AsString(), "");
  EXPECT_EQ(t.FieldByName("M5")->AsString(), "");  // outside the file
  EXPECT_EQ(static_cast<TKordFieldT*>(t.FieldByName("M5"))->MemoPosition(), 5000);
  EXPECT_EQ(t.FieldByName("M6")->AsString(), "A");  // stops after as many links as characters
}

TEST_F(TableTest, ScrambledMemoLineBreaks) {
  std::string memo = std::string("\x00\x00", 2) + std::string("\x04\x00", 2);
  memo += static_cast<char>('A' ^ kScrambleMask);
  memo += static_cast<char>('\r' ^ kScrambleMask);  // a scrambled break is text
  memo += static_cast<char>('B' ^ kScrambleMask);
  memo += '\n';  // a stored break ends the line
  TKordTable& t = OpenTable(DataFile(4, {kordtest::Le32(2)}), {"M:T!;"}, false, memo);
  t.First();
  EXPECT_EQ(t.FieldByName("M")->AsString(), "A\rB");
}
