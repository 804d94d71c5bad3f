#include <cstdio>
#include <exception>

#include "report/app.h"
#include "report/exit_codes.h"

int main(int argc, char** argv) {
  try {
    return report::RunTiskform(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Tiskform: %s\n", e.what());
    return report::kExitError;
  }
}
