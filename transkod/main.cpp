#include "transkod/transkod.h"

int main(int argc, char** argv) {
  return transkod::Run(argc, argv, stderr);
}
