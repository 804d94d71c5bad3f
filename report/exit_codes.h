// Exit codes of tiskform, in one place for callers that run jobs in batch.
#pragma once

namespace report {

enum ExitCode : int {
  kExitOk = 0,         // printed or exported; a code that matches no form; the usage message
  kExitError = 1,      // an error ended the run, the missing template included
  kExitBadOption = 2,  // an option the program does not know, or a bad value
};

}  // namespace report
