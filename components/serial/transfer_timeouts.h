#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "components/serial/line_settings.h"

namespace vn::serial {

// The Windows time-out record's rules for one transfer, for a backend whose
// system does not apply the record itself.

// multiplier * count + constant, none meaning "no total limit", as Windows
// reckons the total time-outs (without its 32-bit wrap-around).
std::optional<std::chrono::milliseconds> TotalLimit(std::uint32_t multiplier, std::uint32_t constant,
                                                    std::uint64_t count);

// How one read of `count` bytes waits.
struct ReadPlan {
  bool immediate = false;          // return at once with what is buffered
  bool returnOnFirstData = false;  // wait for the first bytes, then return at once
  std::optional<std::chrono::milliseconds> total;
  std::optional<std::chrono::milliseconds> interval;  // longest gap after the first byte
};

ReadPlan PlanRead(const LineTimeouts& timeouts, std::uint32_t count);

// What a read does once it has taken everything that was buffered: end
// with what it has, or wait for more bytes until `until` (none: without end).
struct ReadWait {
  bool done = false;
  std::optional<std::chrono::steady_clock::time_point> until;
};

// `lastByte` is none while the read has received nothing.
ReadWait NextReadWait(const ReadPlan& plan, std::chrono::steady_clock::time_point start,
                      std::optional<std::chrono::steady_clock::time_point> lastByte,
                      std::chrono::steady_clock::time_point now);

}  // namespace vn::serial
