#include "platform/cmdline.h"

namespace platform {

bool TakeOption(int argc, const char* const* argv, int& i, std::string_view name,
                std::string& value, std::string& error) {
  const std::string_view arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argc) {
      error = "option " + std::string(name) + " needs a value";
      return true;
    }
    value = argv[++i];
    return true;
  }
  if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    return true;
  }
  return false;
}

}  // namespace platform
