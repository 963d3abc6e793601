#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/console/flasher.h"

namespace vn::console {

// The usage text, for --help and usage errors.
std::string UsageText();

// The options the command line asks for; none, with `error` set, when it
// asks for something the flasher does not do. --help gives the command
// "help".
std::optional<Options> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error);

}  // namespace vn::console
