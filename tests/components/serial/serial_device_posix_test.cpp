#include "components/serial/serial_device.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

#include "tests/components/serial/pty_peer.h"

namespace vn::serial {
namespace {

using test::PtyPeer;
using test::ScopedPortMap;
using namespace std::chrono_literals;

LineSettings EightNoneOne(std::uint32_t baud) {
  LineSettings s;
  s.Baud = baud;
  s.ByteSize = 8;
  s.Flags = line_flag::Binary;
  s.XonChar = 17;
  s.XoffChar = 19;
  return s;
}

constexpr LineTimeouts kReturnAtOnce{0xFFFFFFFF, 0, 0, 0, 0};

class PtyDeviceTest : public ::testing::Test {
 protected:
  std::shared_ptr<SerialDevice> OpenPort(const char* name = "COM7") {
    PlatformError error;
    auto device = SerialDevice::Open(name, &error);
    EXPECT_TRUE(device) << error.operation << ' ' << error.code;
    return device;
  }

  // The port set up as the reader uses it, at `baud`: reads return at once
  // and received bytes are reported.
  std::shared_ptr<SerialDevice> OpenForAnswers(std::uint32_t baud, const char* name = "COM7") {
    auto device = OpenPort(name);
    const bool ready = device && device->ApplyLineSettings(EightNoneOne(baud)) &&
                       device->ApplyTimeouts(kReturnAtOnce) && device->SetEventMask(line_event::RxChar);
    EXPECT_TRUE(ready);
    return ready ? device : nullptr;
  }

  // Waits for received bytes and reads them all.
  static std::string NextRead(SerialDevice& device) {
    std::uint32_t word = 0;
    while (word == 0) {
      device.StartEventWait();
      if (!device.AwaitEvent()) return {};
      word = device.FinishEventWait().value_or(0);
    }
    std::uint32_t errors = 0;
    std::uint32_t waiting = 0;
    if (!device.QueryStatus(errors, waiting)) return {};
    return device.Read(waiting).value_or("");
  }

  // The peer answers two bytes with `gap` between them: the port's first
  // report of received bytes; the rest must follow it.
  std::string FirstReadOfAnAnswer(SerialDevice& device, std::chrono::microseconds gap) {
    std::thread answer([&] {
      peer.Write("\x12");
      std::this_thread::sleep_for(gap);
      peer.Write("\x34");
    });
    const std::string first = NextRead(device);
    const std::string rest = first.size() < 2 ? NextRead(device) : std::string();
    answer.join();
    EXPECT_EQ(first + rest, "\x12\x34") << "gap " << gap.count() << " us";
    return first;
  }

  PtyPeer peer;
  ScopedPortMap map{{peer.Entry("COM7")}};
};

TEST_F(PtyDeviceTest, WriteStopsAtItsTimeOutWithThePartCount) {
  auto device = OpenPort();
  ASSERT_TRUE(device);
  ASSERT_TRUE(device->ApplyTimeouts({0xFFFFFFFF, 0, 0, 0, 50}));
  EXPECT_EQ(device->Write(""), 0u);
  // Nobody reads the master: the kernel's buffers fill and the write times out.
  const std::string big(4u << 20, '\x5A');
  const std::optional<std::uint32_t> written = device->Write(big);
  ASSERT_TRUE(written);
  EXPECT_GT(*written, 0u);
  EXPECT_LT(*written, big.size());
  EXPECT_EQ(peer.Read(16), std::string(16, '\x5A'));
}

TEST_F(PtyDeviceTest, EventWaitReportsNewBytesOnceAndEndsOnRequest) {
  auto device = OpenPort();
  ASSERT_TRUE(device);
  ASSERT_TRUE(device->SetEventMask(line_event::RxChar | line_event::Cts));

  peer.Write("abc");
  device->StartEventWait();
  ASSERT_TRUE(device->AwaitEvent());
  EXPECT_EQ(device->FinishEventWait(), line_event::RxChar);

  // The bytes stay unread: the next wait must block rather than report them
  // again, and clearing the mask ends it.
  auto waiting = std::async(std::launch::async, [&] { return device->AwaitEvent(); });
  EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
  device->SetEventMask(0);
  EXPECT_FALSE(waiting.get());
}

// Bytes that follow each other as closely as a UART sends them are reported
// as one burst (a device's two-byte answer is one read); a pause of many
// character times starts a new burst. At 1200 baud the quiet that ends a
// burst is 25 ms, far above the 0.3 ms between the answer's bytes; the writer
// is still a thread that a busy machine may hold up now and then, so most
// answers, not all, must come whole.
TEST_F(PtyDeviceTest, ReceivedBytesAreReportedByBurst) {
  auto device = OpenForAnswers(1200);
  ASSERT_TRUE(device);
  constexpr int kAnswers = 6;
  int whole = 0;
  for (int i = 0; i < kAnswers; ++i) {
    if (FirstReadOfAnAnswer(*device, 300us).size() == 2) ++whole;
  }
  EXPECT_GE(whole, kAnswers - 2);
  EXPECT_EQ(FirstReadOfAnAnswer(*device, 80ms), "\x12");
}

// Behind a USB adapter an answer that straddles the adapter's tick comes as
// two packets up to a tick apart: still one burst; a longer pause is not.
// The tick is exaggerated so that a busy machine cannot blur the cases.
TEST_F(PtyDeviceTest, BurstsWaitForTheAdaptersNextPacket) {
  PortMapEntry entry = peer.Entry("COM8");
  entry.adapterTick = 60ms;
  ScopedPortMap adapter({entry});
  auto device = OpenForAnswers(38462, "COM8");
  ASSERT_TRUE(device);
  EXPECT_EQ(device->AdapterTick(), 60ms);
  EXPECT_EQ(FirstReadOfAnAnswer(*device, 20ms), "\x12\x34");
  EXPECT_EQ(FirstReadOfAnAnswer(*device, 200ms), "\x12");
}

// Names resolve through a replaced map as ComPtyTest's cases show (letter
// case, listing order, zero bytes); without a replacement the machine's own
// devices are used.
TEST(PortMap, TheSystemMapFollowsTheNumbering) {
  const std::vector<PortMapEntry> system = SystemPortMap();
  ASSERT_EQ(CurrentPortMap().size(), system.size());
  int lastNumber = 0;
  for (const PortMapEntry& entry : system) {
    const int number = std::stoi(entry.comName.substr(3));
    EXPECT_GT(number, lastNumber) << entry.comName;
    lastNumber = number;
    std::string expected;
    if (number <= 32) expected = "/dev/ttyS" + std::to_string(number - 1);
    else if (number <= 96) expected = "/dev/ttyUSB" + std::to_string(number - 33);
    else expected = "/dev/ttyACM" + std::to_string(number - 97);
    EXPECT_EQ(entry.devicePath, expected);
  }
}

}  // namespace
}  // namespace vn::serial
