#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/console/exit_codes.h"

namespace vn::console {

struct Options {
  std::string command;  // "list", "probe", "flash"
  std::string port;     // empty with --simulate
  std::optional<std::string> image;  // --image FILE; none: the carried image
  bool simulate = false;
  bool trace = false;
  bool json = false;
  double probeSeconds = 3;  // how long the device may take to answer "VERS"
  std::vector<std::string> simulatorOptions;  // after "--", for --simulate
};

// Runs one command to its end; `self` is the program's own path (argv[0]).
ExitCode RunCommand(const Options& options, const std::string& self);

}  // namespace vn::console
