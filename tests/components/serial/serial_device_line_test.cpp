#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

#include "components/serial/serial_device.h"
#include "tests/components/serial/line_peer.h"

namespace vn::serial {
namespace {

class SerialDeviceLine : public ::testing::Test {
 protected:
  std::shared_ptr<SerialDevice> OpenPort() {
    PlatformError error;
    std::shared_ptr<SerialDevice> device = SerialDevice::Open(peer->PortName(), &error);
    EXPECT_TRUE(device) << error.operation << ' ' << error.code;
    return device;
  }

  // Runs the reader's blocking step on a thread of its own; a wait that does
  // not end in time is ended through the mask, so a failure cannot hang.
  bool AwaitOnOtherThread(SerialDevice& device) {
    std::future<bool> waiter = std::async(std::launch::async, [&device] { return device.AwaitEvent(); });
    if (waiter.wait_for(peer->Patience()) == std::future_status::ready) return waiter.get();
    device.SetEventMask(0);
    waiter.wait();
    return false;
  }

  std::unique_ptr<test::LinePeer> peer = test::MakeEchoingPeer();
};

TEST_F(SerialDeviceLine, ThePortIsExclusiveAndFreeAgainAtClose) {
  EXPECT_TRUE(SerialDevice::CanOpen(peer->PortName()));
  const std::shared_ptr<SerialDevice> device = OpenPort();
  ASSERT_TRUE(device);
  EXPECT_FALSE(SerialDevice::CanOpen(peer->PortName()));
  PlatformError error;
  EXPECT_FALSE(SerialDevice::Open(peer->PortName(), &error));
  EXPECT_EQ(error.operation, peer->HeldPortError().operation);
  EXPECT_EQ(error.code, peer->HeldPortError().code);

  device->Close();
  EXPECT_TRUE(SerialDevice::CanOpen(peer->PortName()));  // though the object lives on
  // The closed object refuses work instead of touching a reused handle.
  EXPECT_FALSE(device->Write("x"));
  EXPECT_FALSE(device->Read(1));
  EXPECT_FALSE(device->Purge(PurgeMode::Clear));
  EXPECT_FALSE(device->ApplyTimeouts(LineTimeouts{}));
}

TEST_F(SerialDeviceLine, ClearingTheMaskEndsAWaitOnAnotherThread) {
  const std::shared_ptr<SerialDevice> device = OpenPort();
  ASSERT_TRUE(device);
  ASSERT_TRUE(device->SetEventMask(line_event::RxChar));
  device->StartEventWait();
  std::future<bool> waiter = std::async(std::launch::async, [&device] { return device->AwaitEvent(); });
  ASSERT_TRUE(device->SetEventMask(0));
  ASSERT_EQ(waiter.wait_for(peer->Patience()), std::future_status::ready);
  waiter.get();  // Windows completes the wait, Linux ends it: either way no event
  EXPECT_EQ(device->FinishEventWait().value_or(0), 0u);
}

TEST_F(SerialDeviceLine, ArrivingBytesEndTheWaitAndAreReadAtOnce) {
  const std::shared_ptr<SerialDevice> device = OpenPort();
  ASSERT_TRUE(device);
  LineTimeouts immediate;
  immediate.ReadInterval = 0xFFFFFFFF;
  ASSERT_TRUE(device->ApplyTimeouts(immediate));
  ASSERT_TRUE(device->Purge(PurgeMode::Clear));
  ASSERT_TRUE(device->SetEventMask(line_event::RxChar));
  device->StartEventWait();
  EXPECT_EQ(device->Write(std::string("\0", 1)), 1u);  // comes back from the echo
  ASSERT_TRUE(AwaitOnOtherThread(*device));
  EXPECT_EQ(device->FinishEventWait(), line_event::RxChar);

  std::uint32_t errors = 0xFFFF;
  std::uint32_t waiting = 0;
  ASSERT_TRUE(device->QueryStatus(errors, waiting));
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(waiting, 1u);
  // Wine, unlike Windows, holds a read of an empty queue until bytes come
  // (even with the "return at once" time-outs): only a full queue is read.
  EXPECT_EQ(device->Read(10), std::string("\0", 1));
  EXPECT_EQ(device->Read(0), "");
}

}  // namespace
}  // namespace vn::serial
