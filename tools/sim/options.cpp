#include "tools/sim/options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace vn::sim {

const char* const kUsage =
    "usage: brantelmoor-sim [options]\n"
    "  line:    [--link PATH] | --device PATH [--line-baud N]; --baud N, --turnaround-us N\n"
    "  timing:  --adapter-tick-ms L, --adapter-buffer N, --turnaround-max-ms N, --seed S,\n"
    "           --write-log FILE\n"
    "  device:  --name S, --designation S, --version S, --reply TEXT, --blocks N, --echo\n"
    "  run:     --save FILE, --timeout SECONDS, --grace-ms N, --stay\n"
    "  line-up: --serve N, --gap-ms G, --appear-after-ms T, --answer-after-pusk\n"
    "  faults:  --wrong-crc K, --swap-crc K, --trailing-cr K, --split-answer K, --split-gap-ms N,\n"
    "           --silent-from K, --early-fz K, --no-vers-reply, --lowercase-name, --no-blank,\n"
    "           --reply-in-two, --stray-after-probe HEX, --stray-delay-ms N\n"
    "  see tools/README.md\n";

namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint32_t>::max();

bool ParseCount(std::string_view text, std::uint64_t min, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end && value >= min && value <= kMaxCount;
}

bool ParseSeconds(std::string_view text, std::chrono::milliseconds& value) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end || !(seconds >= 0) || seconds > 1e6) return false;
  value = std::chrono::milliseconds(std::llround(seconds * 1000));
  return true;
}

// A number of milliseconds such as 16 or 0.5, up to a million.
bool ParseDecimalMillis(std::string_view text, std::chrono::nanoseconds& value) {
  double millis = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, millis, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end || !(millis >= 0) || millis > 1e6) return false;
  value = std::chrono::nanoseconds(std::llround(millis * 1e6));
  return true;
}

bool ParseUnsigned64(std::string_view text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHexBytes(std::string_view text, std::string& bytes) {
  if (text.empty() || text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

struct OptionRule {
  std::string_view name;
  bool takesValue;
  // Applies the value; returns what a usable value looks like when it is not one.
  std::function<const char*(std::string_view)> apply;
};

template <typename Int>
std::function<const char*(std::string_view)> Count(Int& target, std::uint64_t min) {
  return [&target, min](std::string_view text) -> const char* {
    std::uint64_t value = 0;
    if (!ParseCount(text, min, value)) return min == 0 ? "a whole number from 0 to 4294967295" : "a whole number from 1 to 4294967295";
    target = static_cast<Int>(value);
    return nullptr;
  };
}

template <typename Duration>
std::function<const char*(std::string_view)> Millis(Duration& target) {
  return [&target](std::string_view text) -> const char* {
    std::uint64_t value = 0;
    if (!ParseCount(text, 0, value)) return "a whole number of milliseconds";
    target = std::chrono::milliseconds(value);
    return nullptr;
  };
}

std::function<const char*(std::string_view)> Text(std::string& target) {
  return [&target](std::string_view text) -> const char* {
    target = text;
    return nullptr;
  };
}

std::function<const char*(std::string_view)> Path(std::string& target) {
  return [&target](std::string_view text) -> const char* {
    if (text.empty()) return "a path";
    target = text;
    return nullptr;
  };
}

std::function<const char*(std::string_view)> Flag(bool& target) {
  return [&target](std::string_view) -> const char* {
    target = true;
    return nullptr;
  };
}

std::vector<OptionRule> Rules(Options& o) {
  DeviceConfig& d = o.device;
  DeviceFaults& f = d.faults;
  return {
      {"--link", true, Path(o.linkPath)},
      {"--device", true, Path(o.devicePath)},
      {"--line-baud", true, Count(o.lineBaud, 1)},
      {"--baud", true, Count(o.baud, 0)},
      {"--turnaround-us", true,
       [&o](std::string_view text) -> const char* {
         std::uint64_t value = 0;
         if (!ParseCount(text, 0, value)) return "a whole number of microseconds";
         o.turnaround = std::chrono::microseconds(value);
         return nullptr;
       }},
      {"--turnaround-max-ms", true,
       [&o](std::string_view text) -> const char* {
         return ParseDecimalMillis(text, o.turnaroundMax) ? nullptr : "a number of milliseconds such as 20 or 2.5";
       }},
      {"--adapter-tick-ms", true,
       [&o](std::string_view text) -> const char* {
         std::chrono::nanoseconds tick{0};
         if (!ParseDecimalMillis(text, tick) || tick.count() <= 0) {
           return "a number of milliseconds above 0 such as 16 or 0.5";
         }
         o.adapterTick = tick;
         return nullptr;
       }},
      {"--adapter-buffer", true, Count(o.adapterBuffer, 1)},
      {"--seed", true,
       [&o](std::string_view text) -> const char* {
         std::uint64_t value = 0;
         if (!ParseUnsigned64(text, value)) return "a whole number from 0 to 18446744073709551615";
         o.seed = value;
         return nullptr;
       }},
      {"--write-log", true, Path(o.writeLogPath)},
      {"--name", true, Text(d.name)},
      {"--designation", true, Text(d.designation)},
      {"--version", true, Text(d.version)},
      {"--reply", true,
       [&d](std::string_view text) -> const char* {
         d.reply = std::string(text);
         return nullptr;
       }},
      {"--blocks", true, Count(d.blocks, 1)},
      {"--echo", false, Flag(d.echo)},
      {"--save", true, Path(o.savePath)},
      {"--timeout", true,
       [&o](std::string_view text) -> const char* {
         return ParseSeconds(text, o.timeout) ? nullptr : "a number of seconds such as 2 or 0.5";
       }},
      {"--grace-ms", true, Millis(o.grace)},
      {"--stay", false, Flag(o.stay)},
      {"--serve", true, Count(o.serve, 0)},
      {"--gap-ms", true,
       [&o](std::string_view text) -> const char* {
         return ParseDecimalMillis(text, o.gap) ? nullptr : "a number of milliseconds such as 1000 or 2.5";
       }},
      {"--appear-after-ms", true,
       [&o](std::string_view text) -> const char* {
         return ParseDecimalMillis(text, o.appearAfter) ? nullptr : "a number of milliseconds such as 500 or 2.5";
       }},
      {"--answer-after-pusk", false, Flag(o.answerAfterPusk)},
      {"--wrong-crc", true, Count(f.wrongCrc, 1)},
      {"--swap-crc", true, Count(f.swapCrc, 1)},
      {"--trailing-cr", true, Count(f.trailingCr, 1)},
      {"--split-answer", true, Count(f.splitAnswer, 1)},
      {"--split-gap-ms", true, Millis(d.splitGap)},
      {"--silent-from", true, Count(f.silentFrom, 1)},
      {"--early-fz", true, Count(f.earlyFz, 1)},
      {"--no-vers-reply", false, Flag(f.noVersReply)},
      {"--lowercase-name", false, Flag(f.lowercaseName)},
      {"--no-blank", false, Flag(f.noBlank)},
      {"--reply-in-two", false, Flag(f.replyInTwo)},
      {"--stray-after-probe", true,
       [&f](std::string_view text) -> const char* {
         return ParseHexBytes(text, f.strayAfterProbe) ? nullptr : "pairs of hexadecimal digits such as 0D0A";
       }},
      {"--stray-delay-ms", true, Millis(d.strayDelay)},
      {"--help", false, Flag(o.help)},
  };
}

// Options that can be given alone but not together: the error, or null.
const char* RefusedCombination(const Options& o, bool gapGiven) {
  if (!o.linkPath.empty() && !o.devicePath.empty()) return "--link applies to the pty only, not with --device";
  if (o.answerAfterPusk && o.serve != 1) return "--answer-after-pusk applies to one device only (--serve 1)";
  if (o.answerAfterPusk && o.device.echo) return "--answer-after-pusk applies to the protocol device, not with --echo";
  if (o.serve != 1 && o.device.echo) return "--serve applies to the protocol device, not with --echo";
  if (gapGiven && o.serve == 1) return "--gap-ms applies between devices, only with --serve other than 1";
  return nullptr;
}

}  // namespace

bool ParseOptions(std::span<const std::string_view> args, Options& options, std::string& error) {
  const std::vector<OptionRule> rules = Rules(options);
  bool gapGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    std::string_view value;
    const std::size_t equals = name.find('=');
    const bool inlineValue = equals != std::string_view::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : rules) {
      if (candidate.name == name) rule = &candidate;
    }
    if (rule == nullptr) {
      error = "unknown option " + std::string(name);
      return false;
    }
    gapGiven = gapGiven || name == "--gap-ms";
    if (!rule->takesValue) {
      if (inlineValue) {
        error = std::string(name) + " takes no value";
        return false;
      }
      rule->apply({});
      continue;
    }
    if (!inlineValue) {
      if (i + 1 == args.size()) {
        error = std::string(name) + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (const char* expected = rule->apply(value)) {
      error = std::string(name) + ": expected " + expected + ", got \"" + std::string(value) + "\"";
      return false;
    }
  }
  if (const char* refused = RefusedCombination(options, gapGiven)) {
    error = refused;
    return false;
  }
  return true;
}

}  // namespace vn::sim
