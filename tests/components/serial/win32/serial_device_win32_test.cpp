#include "components/serial/serial_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/serial/win32_handles.h"
#include "core/win32_api.h"
#include "tests/components/serial/win32/sim_port.h"

namespace vn::serial {
namespace {

using test::kSimPort;

std::shared_ptr<SerialDevice> OpenSimPort() {
  PlatformError error;
  std::shared_ptr<SerialDevice> device = SerialDevice::Open(kSimPort, &error);
  EXPECT_TRUE(device) << error.operation << " " << error.code;
  return device;
}

// A value of the port list that exists for one test.
class ScopedPortListValue {
 public:
  ScopedPortListValue(std::string name, DWORD type, const std::string& data) : name_(std::move(name)) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_SET_VALUE, &opened) !=
        ERROR_SUCCESS) {
      return;
    }
    key_ = RegistryKey(opened);
    written_ = ::RegSetValueExA(key_.Get(), name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }
  ScopedPortListValue(const ScopedPortListValue&) = delete;
  ScopedPortListValue& operator=(const ScopedPortListValue&) = delete;
  ~ScopedPortListValue() {
    if (written_) ::RegDeleteValueA(key_.Get(), name_.c_str());
  }
  bool Written() const { return written_; }

 private:
  std::string name_;
  RegistryKey key_;
  bool written_ = false;
};

// The name of the port list's first value in the registry's own order.
std::string FirstPortListValueName() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &opened) !=
      ERROR_SUCCESS) {
    return {};
  }
  const RegistryKey key(opened);
  char name[256] = {};
  DWORD length = sizeof name;
  if (::RegEnumValueA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return {};
  return std::string(name, length);
}

bool Lists(const std::vector<std::string>& ports, const std::string& name) {
  return std::find(ports.begin(), ports.end(), name) != ports.end();
}

// Linux holds a pseudo-terminal at 8 data bits without parity; the rate and
// the stop bits are kept.
TEST(SerialDeviceWin32, TheDeviceTakesTheRateAndStopBitsItIsGiven) {
  struct Case {
    std::uint32_t baud;
    std::uint8_t stopBits;
  };
  const Case cases[] = {{9600, 2}, {115200, 0}, {57600, 2}};
  const std::shared_ptr<SerialDevice> device = OpenSimPort();
  ASSERT_TRUE(device);
  for (const Case& c : cases) {
    LineSettings settings;
    ASSERT_TRUE(device->FetchLineSettings(settings));
    settings.Baud = c.baud;
    settings.StopBits = c.stopBits;
    ASSERT_TRUE(device->ApplyLineSettings(settings)) << c.baud << ": " << device->LastError().code;

    LineSettings applied;
    ASSERT_TRUE(device->FetchLineSettings(applied));
    EXPECT_EQ(applied.Baud, c.baud);
    EXPECT_EQ(applied.StopBits, c.stopBits) << c.baud;
  }
}

TEST(SerialDeviceWin32, TheDevicesOwnRateIsTaken) {
  const std::shared_ptr<SerialDevice> device = OpenSimPort();
  ASSERT_TRUE(device);
  LineSettings settings;
  ASSERT_TRUE(device->FetchLineSettings(settings));
  settings.Baud = 9600;
  ASSERT_TRUE(device->ApplyLineSettings(settings));
  settings.Baud = 38462;
  ASSERT_TRUE(device->ApplyLineSettings(settings)) << device->LastError().code;
  ASSERT_TRUE(device->FetchLineSettings(settings));
  // Wine sets a rate off its standard list as a custom divisor of 38400,
  // which a pty cannot keep, and reads back 38400; Windows keeps 38462.
  EXPECT_TRUE(settings.Baud == 38462 || settings.Baud == 38400) << settings.Baud;
}

TEST(SerialDeviceWin32, PortNamesAreTakenWithinTheirRegistrySize) {
  ASSERT_TRUE(Lists(SerialDevice::ListPorts(), kSimPort));
  // Neither ends with a zero byte; the second holds one inside.
  const ScopedPortListValue bare("\\Device\\VnTestBare", REG_SZ, "COM77");
  const ScopedPortListValue cut("\\Device\\VnTestCut", REG_SZ, std::string("COM78\0junk", 10));
  ASSERT_TRUE(bare.Written());
  ASSERT_TRUE(cut.Written());
  const std::vector<std::string> ports = SerialDevice::ListPorts();
  EXPECT_TRUE(Lists(ports, "COM77"));
  EXPECT_TRUE(Lists(ports, "COM78"));
  EXPECT_TRUE(Lists(ports, kSimPort));
}

TEST(SerialDeviceWin32, TheListEndsAtTheFirstValueThatIsNotAString) {
  const ScopedPortListValue number("\\Device\\!VnTestNumber", REG_DWORD, std::string(4, '\x05'));
  ASSERT_TRUE(number.Written());
  ASSERT_EQ(FirstPortListValueName(), "\\Device\\!VnTestNumber")
      << "the value must come first in the registry's order";
  EXPECT_TRUE(SerialDevice::ListPorts().empty());
}

}  // namespace
}  // namespace vn::serial
