#include "tools/sim/adapter_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vn::sim {
namespace {

using namespace std::chrono_literals;

LineTime Ms(double millis) { return LineTime(std::llround(millis * 1e6)); }

std::vector<LineTime> AllMs(std::vector<double> millis) {
  std::vector<LineTime> times;
  for (double m : millis) times.push_back(Ms(m));
  return times;
}

std::vector<double> Repeat(double millis, std::size_t count, std::vector<double> more = {}) {
  std::vector<double> times(count, millis);
  times.insert(times.end(), more.begin(), more.end());
  return times;
}

struct Case {
  const char* what;
  double tickMs;
  double phaseMs;
  std::size_t buffer;
  std::vector<double> entriesMs;
  std::vector<double> releasesMs;
};

TEST(AdapterModelTest, EachByteGoesOutAtTheNextTickOrWhenTheBufferIsFull) {
  const std::vector<Case> cases = {
      // Ticks at 3, 13, 23, ... ms.
      {"just before a tick", 10, 3, 62, {12.999999}, {13}},
      {"at a tick", 10, 3, 62, {13}, {13}},
      {"just after a tick", 10, 3, 62, {13.000001}, {23}},
      {"phase 0", 10, 0, 62, {20, 20.5}, {20, 30}},
      {"bytes straddling a tick: two packets one tick apart", 10, 3, 62, {12, 12.9, 13.1, 14}, {13, 13, 23, 23}},
      {"a late byte does not join a packet whose tick has passed", 10, 3, 62, {12, 13, 13.5}, {13, 13, 23}},
      {"a full buffer goes out with the byte that fills it", 10, 3, 3, {4, 5, 6, 7}, {6, 6, 6, 13}},
      {"the next packet counts afresh", 10, 3, 3, {4, 5, 6, 7, 8, 9, 10}, {6, 6, 6, 9, 9, 9, 13}},
      {"an early release leaves the timer alone", 10, 3, 2, {4, 5, 11}, {5, 5, 13}},
      {"a buffer of one sends every byte at once", 10, 3, 1, {4, 4, 7.5}, {4, 4, 7.5}},
      {"an unpaced answer of 130 bytes: two full packets, then the tick", 16, 3, 62, Repeat(5, 130),
       Repeat(5, 124, Repeat(19, 6))},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AdapterReleaseTimes(AllMs(c.entriesMs), Ms(c.tickMs), Ms(c.phaseMs), c.buffer), AllMs(c.releasesMs))
        << c.what;
  }
}

TEST(AdapterModelTest, TicksRunFromTheClocksOrigin) {
  const AdapterModel adapter(16ms, 5ms, 62);
  EXPECT_EQ(adapter.TickAtOrAfter(LineTime(0)), LineTime(5ms));
  // A steady clock some days after boot.
  const LineTime days(123456789012345678LL);
  const LineTime tick = adapter.TickAtOrAfter(days);
  EXPECT_GE(tick, days);
  EXPECT_LT(tick - days, 16ms);
  EXPECT_EQ((tick - LineTime(5ms)) % LineTime(16ms), LineTime(0));
}

TEST(AdapterModelTest, PacketsAreTakenInOrderAndATakenOneIsNotReopened) {
  AdapterModel adapter(10ms, 3ms, 4);
  adapter.Enter(Ms(1), "ab");
  adapter.Enter(Ms(2), "cdef");  // "ab" + "cd" fill the buffer at 2 ms
  adapter.Enter(Ms(12), "g");
  EXPECT_EQ(adapter.Held(), (std::deque<AdapterModel::Packet>{{Ms(2), "abcd"}, {Ms(3), "ef"}, {Ms(13), "g"}}));
  EXPECT_EQ(adapter.Take(), (AdapterModel::Packet{Ms(2), "abcd"}));
  EXPECT_EQ(adapter.Take(), (AdapterModel::Packet{Ms(3), "ef"}));
  EXPECT_EQ(adapter.Take(), (AdapterModel::Packet{Ms(13), "g"}));
  // A byte entering at the tick of a packet already handed over goes out
  // at that same time, in a packet of its own.
  adapter.Enter(Ms(13), "h");
  EXPECT_EQ(adapter.Held(), (std::deque<AdapterModel::Packet>{{Ms(13), "h"}}));
  adapter.Clear();
  EXPECT_TRUE(adapter.Held().empty());
}

}  // namespace
}  // namespace vn::sim
