#pragma once

// The port that the wine harness (tools/wine/wine_serial_harness.sh) maps
// onto the device simulator's pseudo-terminal.

#include <chrono>
#include <cstdint>

namespace vn::test {

inline constexpr const char* kSimPort = "COM5";
inline constexpr std::int32_t kSimPortNumber = 5;

// Generous: wine is slow to start its serial machinery, and a healthy run
// never waits this long.
inline constexpr std::chrono::milliseconds kWinePatience = std::chrono::seconds(30);

}  // namespace vn::test
