#include "components/serial/burst_timing.h"

#include <gtest/gtest.h>

#include <string>

namespace vn::serial {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(BurstTiming, QuietOutlastsTheLineAndTheAdapterTick) {
  struct Case {
    std::uint32_t baud;
    microseconds tick;
    std::uint32_t fifoTrigger;
    microseconds quiet;
    microseconds limit;
  };
  const Case cases[] = {
      {38462, microseconds{0}, 1, microseconds{780}, milliseconds{20}},  // three characters
      {1200, microseconds{0}, 1, microseconds{25'000}, milliseconds{100}},
      {1'000'000, microseconds{0}, 1, microseconds{500}, milliseconds{20}},  // never below the floor
      {38462, microseconds{0}, 14, microseconds{4160}, milliseconds{20}},  // outlasts a FIFO's pieces
      {38462, milliseconds{1}, 1, microseconds{5000}, milliseconds{20}},  // tick plus the margin
      {38462, milliseconds{40}, 1, microseconds{50'000}, milliseconds{200}},  // tick plus a quarter
      {300, milliseconds{16}, 1, microseconds{100'000}, milliseconds{400}},  // a slow line outlasts the tick
  };
  for (const Case& c : cases) {
    const BurstTiming t = BurstTimingFor(c.baud, c.tick, c.fifoTrigger);
    EXPECT_EQ(t.quiet, c.quiet) << c.baud << " baud, tick " << c.tick.count();
    EXPECT_EQ(t.limit, c.limit) << c.baud << " baud, tick " << c.tick.count();
    EXPECT_GT(t.maxBytes, 62u) << "an adapter's full buffer must not end a burst";
  }
}

TEST(BurstTiming, AdapterTickByKind) {
  EXPECT_EQ(AdapterTick(AdapterKind::Uart, 16), microseconds{0});
  EXPECT_EQ(AdapterTick(AdapterKind::TimedUsb, 1), milliseconds{1});
  EXPECT_EQ(AdapterTick(AdapterKind::TimedUsb, 1000), milliseconds{255});
  EXPECT_EQ(AdapterTick(AdapterKind::TimedUsb, 0), kUntimedAdapterTick);
  EXPECT_EQ(AdapterTick(AdapterKind::TimedUsb, std::nullopt), kUntimedAdapterTick);
  EXPECT_EQ(AdapterTick(AdapterKind::UntimedUsb, 1), kUntimedAdapterTick);
}

TEST(BurstTiming, AdapterKindFromTheWindowsDeviceName) {
  struct Case {
    std::string name;
    AdapterKind kind;
  };
  const Case cases[] = {
      {"\\Device\\Serial0", AdapterKind::Uart},         {"\\device\\serial12", AdapterKind::Uart},
      {"\\Device\\VCP0", AdapterKind::TimedUsb},        {"\\Device\\Silabser0", AdapterKind::UntimedUsb},
      {"\\Device\\ProlificSerial0", AdapterKind::UntimedUsb}, {"Serial0", AdapterKind::UntimedUsb},
      {"", AdapterKind::UntimedUsb},
  };
  for (const Case& c : cases) EXPECT_EQ(AdapterKindOfDeviceName(c.name), c.kind) << c.name;
}

}  // namespace
}  // namespace vn::serial
