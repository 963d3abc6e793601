#include "tools/sim/line_pacing.h"

#include <gtest/gtest.h>

namespace vn::sim {
namespace {

using namespace std::chrono_literals;

TEST(LinePacingTest, ABurstReachesTheDeviceOnlyAsFastAsTheLineCarriesIt) {
  EXPECT_EQ(LinePacing(38462).ByteTime(), 259996ns);  // ten bits a byte
  LinePacing pacing(10000);  // 1 ms per byte
  LineTime last{};
  for (int i = 0; i < 256; ++i) last = pacing.Received(LineTime(5s));
  EXPECT_EQ(last, LineTime(5s + 255ms));
  // A byte that comes later than the line needs keeps its own time.
  EXPECT_EQ(pacing.Received(LineTime(7s)), LineTime(7s));
  EXPECT_EQ(pacing.Received(LineTime(7s + 300us)), LineTime(7s + 1ms));
}

TEST(LinePacingTest, SentBytesAreSpacedOneByteTimeApart) {
  LinePacing pacing(10000);
  EXPECT_EQ(pacing.Sent(LineTime(2s)), LineTime(2s));
  EXPECT_EQ(pacing.Sent(LineTime(2s)), LineTime(2s + 1ms));
  EXPECT_EQ(pacing.Sent(LineTime(1s)), LineTime(2s + 2ms));  // never before an earlier byte
  EXPECT_EQ(pacing.Sent(LineTime(3s)), LineTime(3s));
  // Receiving does not delay sending: the line is full duplex.
  pacing.Received(LineTime(9s));
  EXPECT_EQ(pacing.Sent(LineTime(3s)), LineTime(3s + 1ms));
}

}  // namespace
}  // namespace vn::sim
