#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/sim/device_model.h"

namespace vn::sim {

struct Options {
  DeviceConfig device;
  std::string linkPath;    // pty only: a symlink to the slave
  std::string devicePath;  // an existing serial device instead of a pty
  std::uint32_t lineBaud = 38462;
  std::string savePath;
  std::chrono::milliseconds timeout = std::chrono::seconds(60);  // 0: none
  std::chrono::milliseconds grace{200};
  bool stay = false;
  // A line of devices plugged in one after another.
  std::uint32_t serve = 1;                                      // devices in a row; 0: without end
  std::chrono::nanoseconds gap = std::chrono::seconds(1);       // dead line between two devices
  std::chrono::nanoseconds appearAfter{0};                      // dead line before the first device
  bool answerAfterPusk = false;                                 // after PUSK: answer "VERS" on and on
  std::uint32_t baud = 0;  // pacing; 0: none
  std::chrono::microseconds turnaround{0};
  // A random time in [0, turnaroundMax] is added to `turnaround` per request.
  std::chrono::nanoseconds turnaroundMax{0};
  std::chrono::nanoseconds adapterTick{0};  // the USB adapter's tick; 0: no adapter
  std::uint32_t adapterBuffer = 62;         // bytes the adapter holds before it sends at once
  std::optional<std::uint64_t> seed;        // for the random numbers; none: from the clock
  // A line for every write to the host, with when it was due and when it
  // was made: tells a late simulator from a late host when an answer splits.
  std::string writeLogPath;
  bool help = false;
};

// Reads the arguments after the program name. False with a one-line
// `error` when they cannot be used.
bool ParseOptions(std::span<const std::string_view> args, Options& options, std::string& error);

extern const char* const kUsage;

}  // namespace vn::sim
