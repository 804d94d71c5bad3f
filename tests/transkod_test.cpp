#include "transkod/transkod.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "platform/win1250.h"
#include "test_util.h"
#include "transkod/recoder.h"

using testutil::ReadFile;
using testutil::WriteFile;

namespace {

struct Result {
  int exitCode;
  std::string err;
};

// Runs the program in-process, capturing what it says.
Result RunTranskod(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"transkod"};
  argv.insert(argv.end(), args);
  FILE* err = std::tmpfile();
  const int code = transkod::Run(static_cast<int>(argv.size()), argv.data(), err);
  std::rewind(err);
  std::string text;
  for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
  std::fclose(err);
  return {code, text};
}

}  // namespace

TEST(Recoder, LineRules) {
  struct Case {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"empty file", "", ""},
      {"CR LF only", "\r\n", "\r\n"},
      {"a letter and CR LF", "\xE1\r\n", "\xC3\xA1\r\n"},
      {"last line without a break", "ab", "ab\r\n"},
      {"lone LF", "a\nb\n", "a\r\nb\r\n"},
      {"lone CR", "a\rb", "a\r\nb\r\n"},
      {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb\r\n"},
      {"CR CR is two breaks", "a\r\rb", "a\r\n\r\nb\r\n"},
      {"break at the end adds no line", "a\r\n\r\n", "a\r\n\r\n"},
      {"euro and unassigned", "\x80\x81\x83\x88\x90\x98",
       "\xE2\x82\xAC\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\r\n"},
      {"byte-order mark is text", "\xEF\xBB\xBFx", "\xC4\x8F\xC2\xBB\xC5\xBCx\r\n"},
      {"tab and control bytes stay", "\t\x01", "\t\x01\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(transkod::RecodeText(c.in), c.out);
  }
}

TEST(Recoder, EveryByteAndAnySlicing) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') all += static_cast<char>(b);
  const std::string expected = platform::Win1250ToUtf8(all) + "\r\n";
  EXPECT_EQ(transkod::RecodeText(all), expected);
  // A CR at the end of one chunk and its LF at the start of the next are one break.
  const std::string in = "a\r\nb\r";
  for (size_t cut = 0; cut <= in.size(); ++cut) {
    SCOPED_TRACE(cut);
    transkod::LineRecoder r;
    std::string out(64, '\0');
    size_t n = r.Feed(in.data(), cut, out.data());
    n += r.Feed(in.data() + cut, in.size() - cut, out.data() + n);
    n += r.Finish(out.data() + n);
    EXPECT_EQ(out.substr(0, n), "a\r\nb\r\n");
  }
}

TEST(Transkod, ConvertsInPlaceKeepingPermissions) {
  testutil::TempDir dir;
  const std::string file = dir / "Mzdy.txt";
  WriteFile(file, "P\xF8\xEDjmen\xED\nx");
  ::chmod(file.c_str(), 0640);
  // The argument is upper-cased; the file is still found.
  const Result r = RunTranskod({file.c_str()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(file), "P\xC5\x99\xC3\xADjmen\xC3\xAD\r\nx\r\n");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  // A second run reads the UTF-8 bytes as Windows-1250 again.
  const std::string first = ReadFile(file);
  EXPECT_EQ(RunTranskod({file.c_str()}).exitCode, 0);
  EXPECT_EQ(ReadFile(file), platform::Win1250ToUtf8(first));
}

TEST(Transkod, UsageWithoutAPath) {
  for (bool empty : {false, true}) {
    const Result r = empty ? RunTranskod({""}) : RunTranskod({});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "(P\xC5\x99\x65vod textov\xC3\xA9ho souboru z k\xC3\xB3\x64u Windows-1250 do "
              "k\xC3\xB3\x64u UTF-8)");
    EXPECT_NE(r.err.find("Program spus\xC5\xA5te znovu jako:   Transkod Pln\xC3\xA1"
                         "CestaAN\xC3\xA1zevSouboru \n"),
              std::string::npos);
  }
}

TEST(Transkod, RefusalsLeaveTheFileAlone) {
  testutil::TempDir dir;
  const Result missing = RunTranskod({(dir / "none.txt").c_str()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Cannot open file "), std::string::npos) << missing.err;

  const std::string file = dir / "zero.txt";
  const std::string bytes("ab\r\n\xE1\0tail", 9);
  WriteFile(file, bytes);
  const Result zero = RunTranskod({file.c_str()});
  EXPECT_EQ(zero.exitCode, 1);
  EXPECT_NE(zero.err.find("0 byte at offset 5"), std::string::npos) << zero.err;
  EXPECT_EQ(ReadFile(file), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Transkod, FailedWriteKeepsTheOriginal) {
  testutil::TempDir dir;
  const std::string file = dir / "big.txt";
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "\xE8\xE8\xE8\xE8\xE8\xE8\xE8\xE8\xE8\r\n";
  WriteFile(file, bytes);  // about 220 KB in, 400 KB out
  const std::string cmd =
      "ulimit -f 300; trap '' XFSZ; " TRANSKOD_EXE " '" + file + "' 2>" + (dir / "err");
  const int status = std::system(cmd.c_str());
  const std::string err = ReadFile(dir / "err");
  std::filesystem::remove(dir / "err");
  EXPECT_EQ(WEXITSTATUS(status), 1) << err;
  EXPECT_NE(err.find("Cannot write file"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(file), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
