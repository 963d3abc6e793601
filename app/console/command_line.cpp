#include "app/console/command_line.h"

#include <cstdlib>

namespace vn::console {
namespace {

bool ParseSeconds(const std::string& text, double& seconds) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !(value > 0) || value > 3600) return false;
  seconds = value;
  return true;
}

}  // namespace

std::string UsageText() {
  return "usage: brantelmoor-flash list\n"
         "       brantelmoor-flash probe PORT | --simulate  [--timeout SECONDS] [--trace] [--json]\n"
         "       brantelmoor-flash flash PORT | --simulate  [--image FILE] [--timeout SECONDS] [--trace] [--json]\n"
         "\n"
         "  list             the serial ports that can be opened now\n"
         "  probe            ask the device on PORT for its designation and firmware version\n"
         "  flash            write the firmware (the carried image, or --image FILE: raw binary or Intel HEX)\n"
         "  PORT             COM5, or on Linux a device such as /dev/ttyUSB0\n"
         "  --simulate       use the built-in device simulator instead of a port (Linux); options for the\n"
         "                   simulator may follow \"--\", e.g. -- --wrong-crc 3\n"
         "  --timeout S      how long the device may take to answer the probe (default 3 s)\n"
         "  --trace          every exchange on the line, in hexadecimal with time stamps, to standard error\n"
         "  --json           one summary line of JSON on standard output at the end\n"
         "\n"
         "exit codes: 0 success, 1 other failure, 2 usage, 3 port not opened, 4 no device,\n"
         "            5 transfer failed, 6 bad image, 130 interrupted (the port is closed)\n";
}

std::optional<Options> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error) {
  Options options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (word == "--") {
      options.simulatorOptions.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
      break;
    }
    if (word == "--help" || word == "-h") {
      options.command = "help";
      return options;
    }
    if (word == "--simulate") {
      options.simulate = true;
    } else if (word == "--trace") {
      options.trace = true;
    } else if (word == "--json") {
      options.json = true;
    } else if (word == "--image" && hasValue) {
      options.image = arguments[++i];
    } else if (word == "--timeout" && hasValue) {
      if (!ParseSeconds(arguments[++i], options.probeSeconds)) {
        error = "--timeout takes seconds between 0 and 3600";
        return std::nullopt;
      }
    } else if (word == "--image" || word == "--timeout") {
      error = word + " needs a value";
      return std::nullopt;
    } else if (word.size() > 1 && word.front() == '-') {
      error = "unknown option " + word;
      return std::nullopt;
    } else {
      positional.push_back(word);
    }
  }
  if (positional.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  options.command = positional.front();
  const std::size_t ports = positional.size() - 1;
  if (options.command == "list") {
    if (ports != 0 || options.simulate || options.image || options.trace) {
      error = "list takes no port and no options";
      return std::nullopt;
    }
    return options;
  }
  if (options.command != "probe" && options.command != "flash") {
    error = "unknown command " + options.command;
    return std::nullopt;
  }
  if (options.image && options.command != "flash") {
    error = "--image goes with flash only";
    return std::nullopt;
  }
  if (options.simulate ? ports != 0 : ports != 1) {
    error = options.simulate ? "--simulate takes the place of PORT" : options.command + " needs one PORT";
    return std::nullopt;
  }
  if (!options.simulate && !options.simulatorOptions.empty()) {
    error = "options after -- are for --simulate";
    return std::nullopt;
  }
  if (ports == 1) options.port = positional[1];
  return options;
}

}  // namespace vn::console
