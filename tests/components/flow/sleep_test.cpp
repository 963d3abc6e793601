#include "components/flow/sleep.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

class SleepTest : public test::LiveDispatchTest {};

TEST_F(SleepTest, WaitsAtLeastItsDelayAndPassesTheValueOn) {
  for (const std::int32_t delay : {-5, 0, 2000, 20000}) {  // negative: no wait at all
    TVNSleep sleep;
    sleep.Delay = delay;
    test::Recorder r;
    sleep.onSleep = r.Link();
    const auto start = std::chrono::steady_clock::now();
    FireString(MakePoint<&TVNSleep::doSleep>(0, &sleep), RcString("v"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(waited).count(), delay) << delay;
    ASSERT_EQ(r.Count(), 1u);
    EXPECT_EQ(r.Last().SData, "v");
  }
}

TEST(ElapsedMicroseconds, WholeCountsPerMicrosecondOrExactForSlowCounters) {
  EXPECT_EQ(ElapsedMicroseconds(0, 3'000, 1'000'000'000), 3);       // 1000 counts per microsecond
  // 3.58 MHz: whole counts per microsecond make each "microsecond" 3 counts,
  // slightly short of a true one, as the delay has always been measured.
  EXPECT_EQ(ElapsedMicroseconds(0, 3'000'000, 3'579'545), 1'000'000);
  EXPECT_EQ(ElapsedMicroseconds(0, 32'768, 32'768), 1'000'000);     // a 32 kHz counter: exact
  EXPECT_EQ(ElapsedMicroseconds(100, 100, 32'768), 0);
}

}  // namespace
}  // namespace vn
