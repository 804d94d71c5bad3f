// The tiskform program: options, the positional command line, the run and
// the device that takes its result.
#pragma once

#include <string>
#include <vector>

namespace report {

struct Options {
  std::string device;  // screen, pdf, png, printer, json, csv
  std::string output;  // "-" or empty: standard output for json and csv
  bool help = false, version = false;
  std::vector<std::string> positional;  // UTF-8, as given
};

// Parses GNU-style options before the positional arguments; TISKFORM_DEVICE
// and TISKFORM_OUTPUT stand in for absent options. False with `error` set on
// a bad option.
bool ParseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// The folder beside the program: $TISKFORM_HOME, else the executable's folder.
std::string ProgramFolder(const char* argv0);

int RunTiskform(int argc, const char* const* argv);

}  // namespace report
