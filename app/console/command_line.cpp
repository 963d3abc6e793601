#include "app/console/command_line.h"

#include <algorithm>
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
         "       brantelmoor-flash probe PORT... | --auto [--all-ports] | --simulate [N]  [--timeout SECONDS] [--trace] [--json]\n"
         "       brantelmoor-flash flash PORT... | --auto [--all-ports] | --simulate [N]  [--image FILE] [--log FILE]\n"
         "                                 [--timeout SECONDS] [--trace] [--json]\n"
         "       brantelmoor-flash watch [PORT...] [--auto [--all-ports]] [--image FILE] [--log FILE] [--quiet] [--json]\n"
         "\n"
         "  list             the serial ports that can be opened now, with what is behind them\n"
         "  probe            ask the device on each PORT for its designation and firmware version\n"
         "  flash            write the firmware to the device on each PORT at the same time (the carried\n"
         "                   image, or --image FILE: raw binary or Intel HEX)\n"
         "  watch            run until Ctrl+C, writing the firmware to every device as it appears, once per\n"
         "                   connection\n"
         "  PORT             COM5, or on Linux a device such as /dev/ttyUSB0\n"
         "  --auto           use every candidate port whose device answers as a Brantelmoor (Linux: USB\n"
         "                   serial adapters; Windows: every COM port); --all-ports: every port that opens\n"
         "  --simulate [N]   use N built-in device simulators (default 1) instead of ports (Linux); options\n"
         "                   for the simulators may follow \"--\", e.g. -- --wrong-crc 3\n"
         "  --log FILE       append one line per device to FILE (JSON lines; CSV when FILE ends in .csv)\n"
         "  --timeout S      how long the device may take to answer the probe (default 3 s)\n"
         "  --trace          every exchange on the line, in hexadecimal with time stamps, to standard error\n"
         "  --json           one line of JSON per device on standard output\n"
         "  --quiet          watch: no bell when a device is done\n"
         "\n"
         "exit codes: 0 success (every device), 1 other failure, 2 usage, 3 port not opened, 4 no device,\n"
         "            5 transfer failed, 6 bad image, 130 interrupted (the ports are closed);\n"
         "            with several devices, the code of the first one that failed in command-line order\n";
}

namespace {

bool IsCount(const std::string& word) {
  return !word.empty() && word.size() <= 3 && word.find_first_not_of("0123456789") == std::string::npos;
}

// COM names are told apart without letter case, device paths as written.
std::string PortKey(const std::string& port) {
  if (!port.empty() && port.front() == '/') return port;
  std::string key = port;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

bool Refuse(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

// Whether the command has its ports from exactly one source, each port once.
bool CheckPorts(const Options& options, std::string& error) {
  const bool named = !options.ports.empty();
  const bool watch = options.command == "watch";
  if (options.simulate > 0 && (named || options.autoPorts)) return Refuse(error, "--simulate takes the place of PORT");
  if (named && options.autoPorts && !watch) return Refuse(error, "--auto takes the place of PORT");
  if (!named && !options.autoPorts && options.simulate == 0) {
    return Refuse(error, options.command + (watch ? " needs PORT or --auto" : " needs PORT, --auto or --simulate"));
  }
  if (options.allPorts && !options.autoPorts) return Refuse(error, "--all-ports goes with --auto");
  std::vector<std::string> seen;
  for (const std::string& port : options.ports) {
    const std::string key = PortKey(port);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) return Refuse(error, port + " is given twice");
    seen.push_back(key);
  }
  return true;
}

}  // namespace

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
      options.simulate = 1;
      if (hasValue && IsCount(arguments[i + 1])) {
        options.simulate = std::atoi(arguments[++i].c_str());
        if (options.simulate < 1 || options.simulate > 64) {
          error = "--simulate takes 1 to 64 devices";
          return std::nullopt;
        }
      }
    } else if (word == "--trace") {
      options.trace = true;
    } else if (word == "--json") {
      options.json = true;
    } else if (word == "--auto") {
      options.autoPorts = true;
    } else if (word == "--all-ports") {
      options.allPorts = true;
    } else if (word == "--quiet") {
      options.quiet = true;
    } else if (word == "--image" && hasValue) {
      options.image = arguments[++i];
    } else if (word == "--log" && hasValue) {
      options.log = arguments[++i];
    } else if (word == "--timeout" && hasValue) {
      if (!ParseSeconds(arguments[++i], options.probeSeconds)) {
        error = "--timeout takes seconds between 0 and 3600";
        return std::nullopt;
      }
    } else if (word == "--image" || word == "--timeout" || word == "--log") {
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
  options.ports.assign(positional.begin() + 1, positional.end());
  if (options.command == "list") {
    if (!options.ports.empty() || options.simulate > 0 || options.image || options.trace || options.autoPorts ||
        options.log) {
      error = "list takes no port and no options";
      return std::nullopt;
    }
    return options;
  }
  if (options.command != "probe" && options.command != "flash" && options.command != "watch") {
    error = "unknown command " + options.command;
    return std::nullopt;
  }
  const bool writes = options.command != "probe";
  if (options.image && !writes) {
    error = "--image goes with flash and watch";
    return std::nullopt;
  }
  if (options.log && !writes) {
    error = "--log goes with flash and watch";
    return std::nullopt;
  }
  if (options.quiet && options.command != "watch") {
    error = "--quiet goes with watch";
    return std::nullopt;
  }
  if (!CheckPorts(options, error)) return std::nullopt;
  if (options.simulate == 0 && !options.simulatorOptions.empty()) {
    error = "options after -- are for --simulate";
    return std::nullopt;
  }
  return options;
}

}  // namespace vn::console
