// Whole updates on a paced line through a simulated USB adapter, whose
// packets split answers at its tick, and a device whose flash writes take
// varying time: the reader must deliver every answer whole. Slow (a paced
// image takes 34 s), hence a test executable and label of its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/console/flasher_process.h"
#include "app/console/simulator_process.h"

namespace vn::test {
namespace {

using namespace std::chrono_literals;
using sim::SummaryField;

class FlashThroughAdapter : public ::testing::TestWithParam<const char*> {};

// The factory tick of 16 ms, as adapters ship, and the lowered 1 ms, where
// nearly every answer straddles a tick: over 508 blocks the tick falls inside
// a good number of answers either way.
TEST_P(FlashThroughAdapter, WholeUpdateSucceeds) {
  FlasherProcess flasher({"flash", "--simulate", "--json", "--", "--baud", "38462", "--adapter-tick-ms", GetParam(),
                          "--turnaround-max-ms", "20"});
  ASSERT_EQ(flasher.Finish(300s), 0) << flasher.Err();
  const std::string device = flasher.DeviceSummary();
  EXPECT_EQ(SummaryField(flasher.Out(), "blocks"), "508");
  EXPECT_EQ(SummaryField(device, "bytes"), "130048") << device;
  EXPECT_EQ(SummaryField(device, "crc"), "\"BD97\"");
  EXPECT_EQ(SummaryField(device, "pusk"), "true");
  EXPECT_EQ(SummaryField(device, "extra"), "0");
}

INSTANTIATE_TEST_SUITE_P(Ticks, FlashThroughAdapter, ::testing::Values("16", "1"),
                         [](const ::testing::TestParamInfo<const char*>& tick) {
                           return std::string(tick.param) + "ms";
                         });

}  // namespace
}  // namespace vn::test
