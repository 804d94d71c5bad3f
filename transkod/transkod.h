// The Transkod program: converts one text file in place from Windows-1250 to
// UTF-8. The original stays untouched until the converted copy is complete.
#pragma once

#include <cstdio>

namespace transkod {

enum ExitCode : int {
  kExitOk = 0,     // converted, or the usage message
  kExitError = 1,  // an error ended the program; the file is unchanged
};

// Runs the program on its command line; messages go to `err` in UTF-8.
int Run(int argc, const char* const* argv, FILE* err);

}  // namespace transkod
