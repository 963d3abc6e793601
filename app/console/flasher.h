#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/console/exit_codes.h"

namespace vn::console {

struct Options {
  std::string command;             // "list", "probe", "flash", "watch"
  std::vector<std::string> ports;  // as given; empty with --simulate or --auto alone
  std::optional<std::string> image;  // --image FILE; none: the carried image
  int simulate = 0;                // simulated devices standing in for ports
  bool autoPorts = false;          // --auto: every candidate port whose device answers
  bool allPorts = false;           // --all-ports: every port that opens is a candidate
  bool trace = false;
  bool json = false;
  bool quiet = false;              // watch: no bell
  std::optional<std::string> log;  // --log FILE: one record per device attempt
  double probeSeconds = 3;  // how long the device may take to answer "VERS"
  std::vector<std::string> simulatorOptions;  // after "--", for --simulate
};

// Runs one command to its end; `self` is the program's own path (argv[0]).
ExitCode RunCommand(const Options& options, const std::string& self);

}  // namespace vn::console
