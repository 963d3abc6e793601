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

}  // namespace
}  // namespace vn::serial
