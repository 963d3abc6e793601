#include "components/serial/transfer_timeouts.h"

#include <gtest/gtest.h>

namespace vn::serial {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kMax = 0xFFFFFFFF;

// Each case: the read's record and size, how long the read has run and
// since when it has its last byte, and whether it ends then or else how long
// after its start it waits at most.
TEST(TransferTimeouts, ReadsEndAsTheWindowsRecordSays) {
  struct Case {
    const char* what;
    LineTimeouts timeouts;
    std::uint32_t count;
    milliseconds elapsed;
    std::optional<milliseconds> lastByte;
    bool done;
    std::optional<milliseconds> waitsUntil;
  };
  constexpr std::nullopt_t kNoByteYet = std::nullopt;
  constexpr std::nullopt_t kWithoutEnd = std::nullopt;
  const Case cases[] = {
      {"return at once, nothing yet", {kMax, 0, 0, 0, 0}, 10, 0ms, kNoByteYet, true, kWithoutEnd},
      {"no limits at all waits for the count", {0, 0, 0, 0, 0}, 10, 900ms, kNoByteYet, false, kWithoutEnd},
      {"first data: waits for the first byte", {kMax, kMax, 500, 0, 0}, 10, 100ms, kNoByteYet, false, 500ms},
      {"first data: returns with it", {kMax, kMax, 500, 0, 0}, 10, 100ms, 90ms, true, kWithoutEnd},
      {"first data: the constant ends it", {kMax, kMax, 500, 0, 0}, 10, 500ms, kNoByteYet, true, kWithoutEnd},
      // With an endless constant the record is no "first data" rule but an
      // ordinary total, far off.
      {"first data with an endless constant", {kMax, kMax, kMax, 0, 0}, 1, 0ms, kNoByteYet, false,
       milliseconds{2 * std::uint64_t{kMax}}},
      {"endless interval with a total", {kMax, 10, 30, 0, 0}, 4, 69ms, 5ms, false, 70ms},
      {"total: multiplier times count plus constant", {0, 10, 30, 0, 0}, 4, 10ms, kNoByteYet, false, 70ms},
      {"total: over", {0, 10, 30, 0, 0}, 4, 70ms, 60ms, true, kWithoutEnd},
      {"interval: not before the first byte", {20, 0, 0, 0, 0}, 10, 500ms, kNoByteYet, false, kWithoutEnd},
      {"interval: counts from the last byte", {20, 0, 0, 0, 0}, 10, 30ms, 25ms, false, 45ms},
      {"interval: a gap ends it", {20, 0, 0, 0, 0}, 10, 46ms, 25ms, true, kWithoutEnd},
      {"interval before total", {20, 0, 100, 0, 0}, 10, 30ms, 30ms, false, 50ms},
      {"total before interval", {20, 0, 100, 0, 0}, 10, 90ms, 90ms, false, 100ms},
  };
  const Clock::time_point start{};  // any instant will do
  for (const Case& c : cases) {
    const ReadPlan plan = PlanRead(c.timeouts, c.count);
    const std::optional<Clock::time_point> lastByte =
        c.lastByte ? std::optional(start + *c.lastByte) : std::nullopt;
    const ReadWait wait = NextReadWait(plan, start, lastByte, start + c.elapsed);
    EXPECT_EQ(wait.done, c.done) << c.what;
    if (c.done) continue;
    EXPECT_EQ(wait.until, c.waitsUntil ? std::optional(start + *c.waitsUntil) : std::nullopt) << c.what;
  }
}

TEST(TransferTimeouts, WriteLimitIsMultiplierTimesCountPlusConstant) {
  EXPECT_EQ(TotalLimit(100, 1000, 3), milliseconds{1300});
  EXPECT_EQ(TotalLimit(0, 50, 1u << 30), milliseconds{50});
  EXPECT_EQ(TotalLimit(100, 0, 0), std::nullopt);  // 0: no limit
  EXPECT_EQ(TotalLimit(0, 0, 7), std::nullopt);
  // No 32-bit wrap-around: Windows would make this 0, that is endless.
  EXPECT_EQ(TotalLimit(0x10000, 0, 0x10000), milliseconds{std::uint64_t{1} << 32});
}

}  // namespace
}  // namespace vn::serial
