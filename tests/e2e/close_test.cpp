#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "components/serial/serial_device.h"
#include "tests/e2e/program_fixture.h"

namespace vn::test {
namespace {

// Where the program is when it is told to close.
enum class Moment { Probing, Uploading, WatchdogTicking };

class CloseTest : public ProgramTest {
 protected:
  // One run of the program closed at `moment` after `delay`: it must end,
  // and the port must be free again.
  void RunAndClose(Moment moment, std::chrono::milliseconds delay) {
    // --stay keeps the pty after the program hangs up, so it can be opened
    // again here.
    std::vector<std::string> arguments{"--stay"};
    if (moment == Moment::WatchdogTicking) arguments.insert(arguments.end(), {"--silent-from", "1"});
    AddDevice("COM5", arguments);
    StartProgram();
    ASSERT_TRUE(PickPort("COM5"));
    if (moment != Moment::Probing) {
      ASSERT_TRUE(WaitFor([this] { return ViewOf(Scheme().WriteButton).enabled; }, 10s));
      ASSERT_TRUE(PressWrite());
    }
    std::this_thread::sleep_for(delay);
    CloseFromTheProgram();
    ASSERT_TRUE(WaitForExit(30s)) << "the program did not end";
    EXPECT_TRUE(serial::SerialDevice::CanOpen("COM5")) << "the port was left open";
    hl::Reset();
    devices.clear();
  }
};

TEST_F(CloseTest, ClosingAtAnyMomentNeverHangsAndFreesThePort) {
  std::mt19937 random(20261206);  // fixed: a failing run can be repeated
  std::uniform_int_distribution<int> milliseconds(0, 400);
  const Moment moments[] = {Moment::Probing, Moment::Uploading, Moment::WatchdogTicking};
  for (int round = 0; round < 4; ++round) {
    for (Moment moment : moments) {
      const auto delay = std::chrono::milliseconds(milliseconds(random)) +
                         (moment == Moment::WatchdogTicking ? 1000ms : 0ms);  // a tick has come
      SCOPED_TRACE(::testing::Message() << "round " << round << ", moment " << static_cast<int>(moment)
                                        << ", after " << delay.count() << " ms");
      RunAndClose(moment, delay);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vn::test
