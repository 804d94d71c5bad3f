#include "report/app.h"

int main(int argc, char** argv) {
  return report::RunTiskform(argc, argv);
}
