#include <cstdio>
#include <exception>

#include "transkod/transkod.h"

int main(int argc, char** argv) {
  try {
    return transkod::Run(argc, argv, stderr);
  } catch (const std::exception& e) {
    // The original is untouched until the rename: nothing is lost.
    std::fprintf(stderr, "Transkod: %s\n", e.what());
    return transkod::kExitError;
  }
}
