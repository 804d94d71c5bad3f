// Long options of the command-line programs: "--name VALUE" or "--name=VALUE".
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Whether argv[i] is the option `name` ("--" included). Its value goes to
// `value`; a separate value advances `i`; a missing one sets `error`.
bool TakeOption(int argc, const char* const* argv, int& i, std::string_view name,
                std::string& value, std::string& error);

}  // namespace platform
