#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/cp1251_literals.h"
#include "tests/e2e/program_fixture.h"

namespace vn::test {
namespace {

struct Fault {
  std::string name;
  std::vector<std::string> arguments;
  bool beforeWrite;          // the failure comes before "Записать" is pressed
  std::string bytesReceived;  // image bytes the device got: nothing after the failure
  bool silence = false;       // reported on the third tick of the one-second watchdog
};

class FailureTest : public ProgramTest, public ::testing::WithParamInterface<Fault> {};

// Each way an upload can fail ends in the failure display: the error texts
// and the picture, the working controls hidden, "OK" shown; nothing more is
// sent; "OK" closes.
TEST_P(FailureTest, ShowsTheFailureAndSendsNothingMore) {
  const Fault& fault = GetParam();
  SimulatorProcess& device = AddDevice("COM5", fault.arguments);
  StartProgram();
  ASSERT_TRUE(PickPort("COM5"));
  if (fault.beforeWrite) {
    ASSERT_TRUE(WaitForOutcome(10s)) << Status();
  } else {
    ASSERT_TRUE(WaitFor([this] { return ViewOf(Scheme().WriteButton).enabled; }, 10s)) << Status();
    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(PressWrite());
    ASSERT_TRUE(WaitForOutcome(60s));
    const auto waited = std::chrono::steady_clock::now() - pressed;
    if (fault.silence) {  // three ticks after block 1, not earlier: a slow device is no failure
      EXPECT_GE(waited, 2900ms);
      EXPECT_LE(waited, 5s);
    }
  }
  // The display's controls change one by one; let the last of them land.
  WaitFor([this] { return OutcomeDisplayFaults(/*success=*/false).empty(); }, 2s);
  EXPECT_EQ(OutcomeDisplayFaults(/*success=*/false), "");
  std::this_thread::sleep_for(300ms);  // time for anything that would still go out

  ASSERT_TRUE(PressOk());
  ASSERT_TRUE(WaitForExit());
  const std::string summary = device.Summary();
  EXPECT_EQ(SummaryField(summary, "bytes"), fault.bytesReceived) << summary;
  EXPECT_EQ(SummaryField(summary, "pusk"), "false");
}

// Swapped CRC bytes, a trailing CR and an answer split over two reads end in
// the same failure as the wrong CRC; the flasher's FlashFailureTest and
// UploadSchemeTest carry them through the same upload scheme.
INSTANTIATE_TEST_SUITE_P(
    Faults, FailureTest,
    ::testing::Values(Fault{"WrongCrc", {"--wrong-crc", "3"}, false, "768"},
                      Fault{"SilenceAfterBlockOne", {"--silent-from", "1"}, false, "256", true},
                      Fault{"StrayBytesBeforeWrite", {"--stray-after-probe", "0D0A"}, true, "0"}),
    [](const ::testing::TestParamInfo<Fault>& param) { return param.param.name; });

}  // namespace
}  // namespace vn::test
