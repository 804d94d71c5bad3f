#include <exception>
#include <iostream>

#include "tools/kord_tool.h"

int main(int argc, char** argv) {
  try {
    return kordtool::Run(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "kord: " << e.what() << "\n";
    return kordtool::kExitError;
  }
}
