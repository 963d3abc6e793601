#include "components/serial/transfer_timeouts.h"

#include <algorithm>

namespace vn::serial {
namespace {

using Millis = std::chrono::milliseconds;

constexpr std::uint32_t kNoLimit = 0xFFFFFFFF;  // MAXDWORD of the time-out record

}  // namespace

std::optional<Millis> TotalLimit(std::uint32_t multiplier, std::uint32_t constant, std::uint64_t count) {
  const std::uint64_t total = std::uint64_t{multiplier} * count + constant;
  if (total == 0) return std::nullopt;
  return Millis(static_cast<Millis::rep>(total));
}

ReadPlan PlanRead(const LineTimeouts& t, std::uint32_t count) {
  ReadPlan plan;
  if (t.ReadInterval == kNoLimit) {
    if (t.ReadTotalMultiplier == 0 && t.ReadTotalConstant == 0) {
      plan.immediate = true;
    } else if (t.ReadTotalMultiplier == kNoLimit && t.ReadTotalConstant != 0 && t.ReadTotalConstant != kNoLimit) {
      plan.returnOnFirstData = true;
      plan.total = Millis(t.ReadTotalConstant);
    } else {
      plan.total = TotalLimit(t.ReadTotalMultiplier, t.ReadTotalConstant, count);
    }
    return plan;
  }
  if (t.ReadInterval != 0) plan.interval = Millis(t.ReadInterval);
  plan.total = TotalLimit(t.ReadTotalMultiplier, t.ReadTotalConstant, count);
  return plan;
}

ReadWait NextReadWait(const ReadPlan& plan, std::chrono::steady_clock::time_point start,
                      std::optional<std::chrono::steady_clock::time_point> lastByte,
                      std::chrono::steady_clock::time_point now) {
  if (plan.immediate || (plan.returnOnFirstData && lastByte)) return {/*done=*/true, std::nullopt};
  std::optional<std::chrono::steady_clock::time_point> until;
  if (plan.total) until = start + *plan.total;
  // The interval counts only between bytes: before the first one, only the
  // total limit applies.
  if (plan.interval && lastByte) {
    const auto gapEnd = *lastByte + *plan.interval;
    until = until ? std::min(*until, gapEnd) : gapEnd;
  }
  if (until && now >= *until) return {/*done=*/true, std::nullopt};
  return {/*done=*/false, until};
}

}  // namespace vn::serial
