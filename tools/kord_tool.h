// The `kord` inspector: lists the table layouts, describes a Kord data file
// and dumps its live records as JSON or CSV (UTF-8).
#pragma once

#include <ostream>

namespace kordtool {

enum ExitCode : int { kExitOk = 0, kExitError = 1, kExitUsage = 2 };

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace kordtool
