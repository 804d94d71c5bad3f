#include <iostream>

#include "tools/kord_tool.h"

int main(int argc, char** argv) {
  return kordtool::Run(argc, argv, std::cout, std::cerr);
}
