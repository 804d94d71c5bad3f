#include "report/app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/cmdline.h"
#include "platform/messages.h"
#include "platform/win1250.h"
#include "report/data_export.h"
#include "report/exit_codes.h"
#include "report/run.h"

namespace report {
namespace {

using platform::Utf8ToWin1250;

const char* const kVersion = "tiskform 0.1.0";

const char* const kHelp =
    "usage: tiskform [--device=NAME] [--output=PATH] KodSestavy FB Cesta Soubor [SkSoubor\n"
    "                [vyska levy pravy horni dolni [BSIDENTP [varianta]]]]\n"
    "\n"
    "  --device=NAME  screen (the print preview, default), pdf, png, printer,\n"
    "                 json or csv (the loaded data, without printing)\n"
    "  --output=PATH  where pdf, png, json and csv go; \"-\" is standard output\n"
    "  --help         this text\n"
    "  --version      the program's version\n"
    "\n"
    "TISKFORM_DEVICE and TISKFORM_OUTPUT stand in for the options; TISKFORM_HOME\n"
    "is the folder with RB\\, TISKFORM.INI and TISKFORM.LOG (default: the program's).\n";

bool KnownDevice(const std::string& d) {
  return d == "screen" || d == "pdf" || d == "png" || d == "printer" || d == "json" || d == "csv";
}

// The N-field message and any other message box of the reader.
class SinkToUi : public platform::MessageSink {
 public:
  explicit SinkToUi(UserInterface& ui) : ui_(ui) {}
  void Show(const std::string& text, const std::string&, platform::MessageKind kind) override {
    if (kind == platform::MessageKind::Error)
      ui_.ShowError(text);
    else
      ui_.ShowMessage(text);
  }

 private:
  UserInterface& ui_;
};

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& o, std::string& error) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.size() < 2 || a[0] != '-' || a[1] != '-') break;  // the first positional argument
    if (a == "--help") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (platform::TakeOption(argc, argv, i, "--device", o.device, error) ||
               platform::TakeOption(argc, argv, i, "--output", o.output, error)) {
      if (!error.empty()) return false;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  for (; i < argc; ++i) o.positional.push_back(argv[i]);
  if (o.device.empty())
    if (const char* env = std::getenv("TISKFORM_DEVICE")) o.device = env;
  if (o.output.empty())
    if (const char* env = std::getenv("TISKFORM_OUTPUT")) o.output = env;
  if (o.device.empty()) o.device = "screen";
  if (!KnownDevice(o.device)) {
    error = "unknown device " + o.device + " (screen, pdf, png, printer, json, csv)";
    return false;
  }
  return true;
}

std::string ProgramFolder(const char* argv0) {
  if (const char* home = std::getenv("TISKFORM_HOME"); home && *home) {
    std::string f = Utf8ToWin1250(home);
    if (f.back() != '/' && f.back() != '\\') f += '/';
    return f;
  }
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe =
      n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
  const size_t slash = exe.rfind('/');
  return Utf8ToWin1250(slash == std::string::npos ? "./" : exe.substr(0, slash + 1));
}

int RunTiskform(int argc, const char* const* argv) {
  Options o;
  std::string error;
  if (!ParseOptions(argc, argv, o, error)) {
    std::cerr << "tiskform: " << error << "\n" << kHelp;
    return kExitBadOption;
  }
  if (o.help) {
    std::cout << kHelp;
    return kExitOk;
  }
  if (o.version) {
    std::cout << kVersion << "\n";
    return kExitOk;
  }
  ConsoleUserInterface ui;
  if (o.positional.size() < 4) {
    ui.ShowError(
        Utf8ToWin1250("Tiskform: ####CHYBA - Příliš málo parametrů, zadejte minimálně:\r\n"
                      "Tiskform KódSestavy FB Cesta Soubor\r\n"
                      "Kde FB je: F..S formulářem   B..Bez formuláře\r\n"
                      "\r\n"
                      "podpora@paylon.cz          www.paylon.cz"));
    return kExitOk;
  }
  auto sink = std::make_shared<SinkToUi>(ui);
  platform::SetMessageSink(sink);

  std::vector<std::string> args;
  for (const std::string& a : o.positional) args.push_back(Utf8ToWin1250(a));
  TFTiskform form(std::move(args), ProgramFolder(argc > 0 ? argv[0] : nullptr), ui);
  const bool dataDevice = o.device == "json" || o.device == "csv";
  const RunOutcome outcome = form.FormShow(!dataDevice);
  int code = kExitOk;
  switch (outcome) {
    case RunOutcome::kNoForm:
      break;
    case RunOutcome::kMissingTemplate:
    case RunOutcome::kError:
      code = kExitError;
      break;
    case RunOutcome::kBound: {
      if (!dataDevice) {
        ui.ShowError("The device " + o.device +
                     " is not available in this build yet; get the job's data with --device=json "
                     "or --device=csv");
        code = kExitError;
        break;
      }
      // A file is written beside its target and renamed over it when
      // complete, so a failed export never leaves half a file behind.
      const bool toFile = !o.output.empty() && o.output != "-";
      std::string temp;
      FILE* out = stdout;
      if (toFile) {
        temp = o.output + ".tmp-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0 || !(out = ::fdopen(fd, "wb"))) {
          ui.ShowError("Cannot create file " + Utf8ToWin1250(o.output) + ": " +
                       std::strerror(errno));
          if (fd >= 0) ::close(fd);
          code = kExitError;
          break;
        }
      }
      bool ok = o.device == "json"
                    ? ExportJson(*form.Mem(), form.ReportCode(), form.TemplatePath(), out)
                    : ExportCsv(*form.Mem(), out);
      int err = errno;
      if (toFile) {
        if (std::fclose(out) != 0 && ok) {
          ok = false;
          err = errno;
        }
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (ok && (::chmod(temp.c_str(), 0666 & ~mask) != 0 ||
                   ::rename(temp.c_str(), o.output.c_str()) != 0)) {
          ok = false;
          err = errno;
        }
        if (!ok) ::unlink(temp.c_str());
      }
      if (!ok) {
        ui.ShowError("Cannot write " + Utf8ToWin1250(toFile ? o.output : "standard output") + ": " +
                     std::strerror(err));
        code = kExitError;
      }
      break;
    }
  }
  // Without a window the run ends as if the main window had been closed; a
  // missing template ends the program without closing it (the tables are
  // closed as the form goes away).
  if (outcome != RunOutcome::kMissingTemplate) form.FormClose();
  platform::SetMessageSink(nullptr);
  return code;
}

}  // namespace report
