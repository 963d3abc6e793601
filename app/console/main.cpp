#include <cstdio>
#include <string>
#include <vector>

#include "app/console/command_line.h"
#include "app/console/flasher.h"
#include "app/console/terminal.h"

int main(int argc, char** argv) {
  using namespace vn::console;
  PrepareConsole();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const std::optional<Options> options = ParseCommandLine(arguments, error);
  if (!options) {
    std::fprintf(stderr, "brantelmoor-flash: %s\n\n%s", error.c_str(), UsageText().c_str());
    return ToInt(ExitCode::Usage);
  }
  if (options->command == "help") {
    std::printf("%s", UsageText().c_str());
    return ToInt(ExitCode::Success);
  }
  return ToInt(RunCommand(*options, argc > 0 ? argv[0] : "brantelmoor-flash"));
}
