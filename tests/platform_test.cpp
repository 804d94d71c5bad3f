#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "platform/cmdline.h"
#include "platform/csv.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/win1250.h"
#include "test_util.h"

using namespace platform;

namespace {

// The system's iconv is an independent reading of the published mapping.
std::string Iconv(unsigned char byte) {
  testutil::TempDir dir;
  testutil::WriteFile(dir / "in", std::string(1, static_cast<char>(byte)));
  const std::string cmd =
      "iconv -f CP1250 -t UTF-8 " + (dir / "in") + " > " + (dir / "out") + " 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return "";
  return testutil::ReadFile(dir / "out");
}

}  // namespace

TEST(Win1250, EveryByteMatchesThePublishedMapping) {
  if (std::system("command -v iconv >/dev/null") != 0) GTEST_SKIP() << "no iconv";
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const std::string mine = Win1250ToUtf8(std::string(1, static_cast<char>(b)));
    if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) {
      EXPECT_EQ(mine, "\xEF\xBF\xBD");
      continue;
    }
    EXPECT_EQ(mine, Iconv(static_cast<unsigned char>(b)));
    EXPECT_EQ(Utf8ToWin1250(mine), std::string(1, static_cast<char>(b)));
  }
}

TEST(Win1250, Utf8ToWin1250ReplacesWhatTheCodePageLacks) {
  EXPECT_EQ(Utf8ToWin1250("a\xD0\x96z"), "a?z");        // Cyrillic Zhe
  EXPECT_EQ(Utf8ToWin1250("\xC3"), "?");                // cut short
  EXPECT_EQ(Utf8ToWin1250("\xF0\x9F\x98\x80!"), "?!");  // outside the BMP
}

TEST(Win1250, AnsiUpperCaseCoversTheLetterSet) {
  const std::string lower = Utf8ToWin1250("áčďéěíňóřšťúůýžľĺŕôäöüłąęśźżćńőűăşţîâçë abcz");
  const std::string upper = Utf8ToWin1250("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽĽĹŔÔÄÖÜŁĄĘŚŹŻĆŃŐŰĂŞŢÎÂÇË ABCZ");
  EXPECT_EQ(AnsiUpperCase(lower), upper);
  EXPECT_EQ(AnsiUpperCase(upper), upper);
  // No capital: sharp s, division sign, micro sign, dot above.
  EXPECT_EQ(AnsiUpperCase("\xDF\xF7\xB5\xFF"), "\xDF\xF7\xB5\xFF");
  EXPECT_TRUE(AnsiSameText(Utf8ToWin1250("Příjmení"), Utf8ToWin1250("PŘÍJMENÍ")));
}

TEST(Paths, ResolvesCaseInsensitivelyFolderByFolder) {
  testutil::TempDir dir;
  std::filesystem::create_directories(dir / "Data/Sub");
  testutil::WriteFile(dir / "Data/Sub/File.txt", "x");
  const std::string up = AnsiUpperCase(Utf8ToWin1250(dir.path()));
  // The temp folder itself may be upper-cased too: everything below is found.
  EXPECT_EQ(ResolvePath(Utf8ToWin1250(dir.path()) + "\\DATA\\sub\\FILE.TXT"),
            dir / "Data/Sub/File.txt");
  EXPECT_TRUE(FileExists(up + "/DATA/SUB/FILE.TXT"));
  EXPECT_TRUE(DirectoryExists(up + "\\data\\"));
  EXPECT_FALSE(FileExists(up + "\\data"));
  EXPECT_FALSE(FileExists(up + "\\data\\missing.txt"));
}

TEST(Paths, DriveLettersMapThroughTheEnvironment) {
  testutil::TempDir dir;
  std::filesystem::create_directories(dir / "MZDY");
  testutil::WriteFile(dir / "MZDY/BSIDENTP.000", "x");
  ::setenv("TISKFORM_DRIVE_Q", dir.path().c_str(), 1);
  EXPECT_TRUE(FileExists("q:\\mzdy\\bsidentp.000"));
  ::unsetenv("TISKFORM_DRIVE_Q");
  EXPECT_EQ(ResolvePath("Q:\\TMP"), "/tmp");
}

TEST(Paths, FileNameParts) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
    const char* ext;
  } cases[] = {
      {"C:\\DATA\\X.DAT", "C:\\DATA\\", "X.DAT", ".DAT"},
      {"C:X", "C:", "X", ""},
      {"/tmp/a.b/c", "/tmp/a.b/", "c", ""},
      {"BSIDENTP.000", "", "BSIDENTP.000", ".000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.folder);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
  }
  EXPECT_EQ(IncludeTrailingBackslash("C:\\DATA"), "C:\\DATA\\");
  EXPECT_EQ(IncludeTrailingBackslash("/tmp/"), "/tmp/");
}

TEST(Regional, DefaultsLocaleAndEnvironment) {
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_NUMERIC");
  ::unsetenv("LC_TIME");
  ::setenv("LANG", "C.UTF-8", 1);
  ::unsetenv("TISKFORM_DECIMAL_SEPARATOR");
  RegionalSettings s = RegionalSettings::FromEnvironment();
  EXPECT_EQ(s.decimalSeparator, ',');
  EXPECT_EQ(s.shortDateFormat, "d.M.yyyy");
  EXPECT_EQ(s.longTimeFormat, "H:mm:ss");
  ::setenv("TISKFORM_DECIMAL_SEPARATOR", ".", 1);
  EXPECT_EQ(RegionalSettings::FromEnvironment().decimalSeparator, '.');
  ::unsetenv("TISKFORM_DECIMAL_SEPARATOR");
  ::unsetenv("LANG");
}

TEST(Numbers, GeneralFormat) {
  struct Case {
    double v;
    int prec;
    const char* text;
  } cases[] = {
      {1234.56, 15, "1234,56"},
      {-1234.56, 15, "-1234,56"},
      {0, 15, "0"},
      {-0.0, 15, "0"},
      {0.1 + 0.2, 15, "0,3"},
      {100, 15, "100"},
      {0.00001, 15, "0,00001"},
      {0.0000015, 15, "1,5E-6"},
      {1e15, 15, "1E15"},
      {123456789012345, 15, "123456789012345"},
      {2.0 / 3.0, 11, "0,66666666667"},
      {-128, 15, "-128"},
      {37622.5, 15, "37622,5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FloatToStrGeneral(c.v, c.prec, ','), c.text);
  }
  EXPECT_EQ(FloatToStrGeneral(1.5, 15, '.'), "1.5");
}

TEST(Numbers, IntegerAndFloatTexts) {
  EXPECT_EQ(StrToInt("-42"), -42);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  for (const char* bad : {"", "1!", "2147483648", "12a", "-"}) {
    SCOPED_TRACE(bad);
    try {
      StrToInt(bad);
      ADD_FAILURE();
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(TryStrToFloat("1234,56", ','), 1234.56);
  EXPECT_EQ(TryStrToFloat(" -1,5E3 ", ','), -1500);
  EXPECT_FALSE(TryStrToFloat("1234.56", ','));
  EXPECT_FALSE(TryStrToFloat("", ','));
  EXPECT_FALSE(TryStrToFloat("1,2,3", ','));
}

TEST(Dates, CalendarAndTexts) {
  RegionalSettings cz;
  SetRegional(cz);
  EXPECT_EQ(*EncodeDate(2003, 1, 1), 37622);
  EXPECT_EQ(*EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(*EncodeDate(1, 1, 1), -693593);
  EXPECT_FALSE(EncodeDate(2023, 2, 29));
  EXPECT_EQ(DateTimeToStr(37622.5), "1.1.2003 12:00:00");
  EXPECT_EQ(DateTimeToStr(37622), "1.1.2003");
  EXPECT_EQ(DateTimeToStr(-1.25), "29.12.1899 6:00:00");
  EXPECT_EQ(*TryStrToDateTime("1.1.2003"), 37622);
  EXPECT_EQ(*TryStrToDateTime("01.01.2003 12:00"), 37622.5);
  EXPECT_FALSE(TryStrToDateTime("31.2.2003"));
  EXPECT_FALSE(TryStrToDateTime("abc"));
  const DateParts p = DecodeDateTime(*EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(FormatDateTimePattern("yyyy-MM-dd HH:mm:ss", p), "2024-02-29 23:59:59");
  EXPECT_EQ(p.millisecond, 999);
}

TEST(Csv, CellsAndNumbers) {
  EXPECT_EQ(CsvCell("plain"), "plain");
  EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvCell("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvCell("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(ShortestNumber(12), "12");
  EXPECT_EQ(ShortestNumber(-0.1), "-0.1");
  EXPECT_EQ(ShortestNumber(1234.56), "1234.56");
}

TEST(CommandLine, LongOptions) {
  const char* argv[] = {"prog", "--device=json", "--output", "x.json", "--output", "--devicex=1"};
  std::string value, error;
  int i = 1;
  EXPECT_TRUE(platform::TakeOption(6, argv, i, "--device", value, error));
  EXPECT_EQ(value, "json");
  i = 2;
  EXPECT_TRUE(platform::TakeOption(6, argv, i, "--output", value, error));
  EXPECT_EQ(value, "x.json");
  EXPECT_EQ(i, 3);
  i = 5;
  EXPECT_FALSE(platform::TakeOption(6, argv, i, "--device", value, error));
  i = 4;
  EXPECT_TRUE(platform::TakeOption(5, argv, i, "--output", value, error));  // no value left
  EXPECT_EQ(error, "option --output needs a value");
}
