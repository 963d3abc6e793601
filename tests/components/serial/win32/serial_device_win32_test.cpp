// The Windows port on the simulator's line (COM5): the settings it takes, the
// ports the registry lists, the hardware behind a port as the registry tells
// it, and the reader's wait for the pieces in which that hardware delivers an
// answer. Cases that change the registry take their changes back afterwards.
#include "components/serial/serial_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "components/serial/burst_timing.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"
#include "tests/components/serial/win32/sim_port.h"

namespace vn::serial {
namespace {

using namespace std::chrono_literals;
using test::kSimPort;
using test::kWinePatience;

constexpr const char* kPortMapKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";

std::shared_ptr<SerialDevice> OpenSimPort() {
  PlatformError error;
  std::shared_ptr<SerialDevice> device = SerialDevice::Open(kSimPort, &error);
  EXPECT_TRUE(device) << error.operation << " " << error.code;
  return device;
}

RegistryKey CreateKey(const std::string& path) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
    return RegistryKey();
  }
  return RegistryKey(created);
}

// A value as given: string data need not end with a zero byte.
struct RegistryValue {
  std::string name;
  DWORD type;
  std::string data;
};

bool SetValue(HKEY key, const RegistryValue& value) {
  const auto* bytes = reinterpret_cast<const BYTE*>(value.data.data());
  return ::RegSetValueExA(key, value.name.c_str(), 0, value.type, bytes, static_cast<DWORD>(value.data.size())) ==
         ERROR_SUCCESS;
}

// A string as drivers write it, with its zero byte.
RegistryValue StringValue(std::string name, const std::string& text) {
  return {std::move(name), REG_SZ, std::string(text.c_str(), text.size() + 1)};
}

// The values of a key in the registry's own order.
std::vector<RegistryValue> ValuesOf(HKEY key) {
  std::vector<RegistryValue> values;
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    char data[256] = {};
    DWORD nameLength = sizeof name;
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    auto* bytes = reinterpret_cast<BYTE*>(data);
    if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, bytes, &dataSize) != ERROR_SUCCESS) {
      return values;
    }
    values.push_back({std::string(name, nameLength), type, std::string(data, dataSize)});
  }
}

// Values added to the port map for the lifetime of the object. With
// `hideSimPort` the ones that list the simulator's port go first, so that a
// case lists it only as it wants; they come back afterwards.
class ScopedPortMapValues {
 public:
  ScopedPortMapValues(std::vector<RegistryValue> added, bool hideSimPort)
      : key_(CreateKey(kPortMapKey)), added_(std::move(added)) {
    if (!key_.Valid()) return;
    for (const RegistryValue& value : hideSimPort ? ValuesOf(key_.Get()) : std::vector<RegistryValue>{}) {
      if (value.type == REG_SZ && _stricmp(value.data.c_str(), kSimPort) == 0) hidden_.push_back(value);
    }
    for (const RegistryValue& value : hidden_) ::RegDeleteValueA(key_.Get(), value.name.c_str());
    ready_ = std::all_of(added_.begin(), added_.end(),
                         [&](const RegistryValue& value) { return SetValue(key_.Get(), value); });
  }
  ScopedPortMapValues(const ScopedPortMapValues&) = delete;
  ScopedPortMapValues& operator=(const ScopedPortMapValues&) = delete;
  ~ScopedPortMapValues() {
    if (!key_.Valid()) return;
    for (const RegistryValue& value : added_) ::RegDeleteValueA(key_.Get(), value.name.c_str());
    for (const RegistryValue& value : hidden_) SetValue(key_.Get(), value);
  }
  bool Ready() const { return ready_; }
  HKEY Key() const { return key_.Get(); }

 private:
  RegistryKey key_;
  std::vector<RegistryValue> added_;
  std::vector<RegistryValue> hidden_;
  bool ready_ = false;
};

// The simulator's port listed under `deviceName` alone, as a driver would
// list it, or not at all when that is empty.
ScopedPortMapValues ListedAs(const std::string& deviceName, const std::string& portName = kSimPort) {
  std::vector<RegistryValue> values;
  if (!deviceName.empty()) values.push_back(StringValue(deviceName, portName));
  return ScopedPortMapValues(std::move(values), true);
}

bool Lists(const std::vector<std::string>& ports, const std::string& name) {
  return std::find(ports.begin(), ports.end(), name) != ports.end();
}

TEST(SerialDeviceWin32, PortNamesAreTakenWithinTheirRegistrySize) {
  // Neither ends with a zero byte; the second holds one inside.
  const ScopedPortMapValues values({{"\\Device\\VnTestBare", REG_SZ, "COM77"},
                                    {"\\Device\\VnTestCut", REG_SZ, std::string("COM78\0junk", 10)}},
                                   false);
  ASSERT_TRUE(values.Ready());
  const std::vector<std::string> ports = SerialDevice::ListPorts();
  EXPECT_TRUE(Lists(ports, "COM77"));
  EXPECT_TRUE(Lists(ports, "COM78"));
  EXPECT_TRUE(Lists(ports, kSimPort));
}

TEST(SerialDeviceWin32, TheListEndsAtTheFirstValueThatIsNotAString) {
  const ScopedPortMapValues values({{"\\Device\\!VnTestNumber", REG_DWORD, std::string(4, '\x05')}}, false);
  ASSERT_TRUE(values.Ready());
  ASSERT_EQ(ValuesOf(values.Key()).front().name, "\\Device\\!VnTestNumber")
      << "the value must come first in the registry's order";
  EXPECT_TRUE(SerialDevice::ListPorts().empty());
}

// Where a driver keeps a device's settings, one DWORD of them given.
struct DeviceKey {
  const char* parent;  // under Enum
  const char* own;     // made and taken away by the test
  const char* below;   // down to the instance
  const char* setting;
};
// The registry lists keys sorted by name: "!" puts the test's own before the
// one the wine harness gives the port.
const DeviceKey kUartKey = {"ACPI\\PNP0501", "!VNTEST01", "", "RxFIFO"};
const DeviceKey kFtdiKey = {"FTDIBUS", "VID_0403+PID_6001+VNTEST01", "\\0000", "LatencyTimer"};

// A device key as its driver leaves it: the port's name and, when given,
// the setting.
class ScopedDeviceKey {
 public:
  ScopedDeviceKey(const DeviceKey& where, const std::string& portName, std::optional<DWORD> setting)
      : where_(where) {
    const RegistryKey parameters = CreateKey(std::string(kEnumKey) + where.parent + "\\" + where.own + where.below +
                                             "\\Device Parameters");
    ready_ = parameters.Valid() && SetValue(parameters.Get(), StringValue("PortName", portName));
    if (ready_ && setting) {
      const std::string bytes(reinterpret_cast<const char*>(&*setting), sizeof(DWORD));
      ready_ = SetValue(parameters.Get(), {where.setting, REG_DWORD, bytes});
    }
  }
  ScopedDeviceKey(const ScopedDeviceKey&) = delete;
  ScopedDeviceKey& operator=(const ScopedDeviceKey&) = delete;
  ~ScopedDeviceKey() {
    const RegistryKey parent = CreateKey(std::string(kEnumKey) + where_.parent);
    if (parent.Valid()) ::RegDeleteTreeA(parent.Get(), where_.own);
  }
  bool Ready() const { return ready_; }

 private:
  DeviceKey where_;
  bool ready_ = false;
};

TEST(AdapterWin32, TheTickComesFromThePortMapNameAndTheFtdiDeviceKey) {
  struct Case {
    const char* what;
    std::string deviceName;  // empty: not in the port map
    std::string listedAs;    // the port's name in the port map
    std::optional<std::string> ftdiPort;
    std::optional<DWORD> latencyTimerMs;
    std::chrono::microseconds tick;
  };
  const Case cases[] = {
      {"a UART", "\\Device\\Serial4", kSimPort, std::nullopt, std::nullopt, 0ms},
      {"FTDI, lowered timer, names in other cases", "\\device\\vcp7", "com5", "Com5", 2, 2ms},
      {"FTDI whose key belongs to another port", "\\Device\\VCP7", kSimPort, "COM6", 2, kUntimedAdapterTick},
      {"not in the port map", "", kSimPort, std::nullopt, std::nullopt, kUntimedAdapterTick},
  };
  for (const Case& c : cases) {
    const ScopedPortMapValues listed = ListedAs(c.deviceName, c.listedAs);
    ASSERT_TRUE(listed.Ready()) << c.what;
    std::optional<ScopedDeviceKey> ftdi;
    if (c.ftdiPort) {
      ftdi.emplace(kFtdiKey, *c.ftdiPort, c.latencyTimerMs);
      ASSERT_TRUE(ftdi->Ready()) << c.what;
    }
    const std::shared_ptr<SerialDevice> device = OpenSimPort();
    ASSERT_TRUE(device) << c.what;
    EXPECT_EQ(device->AdapterTick(), c.tick) << c.what;
  }
}

// The bytes of the next report of received bytes, read at once. Writes and
// reads share one transfer record: `io` keeps them apart, as the scheme
// lock does in the program.
std::string NextRead(SerialDevice& device, std::mutex& io) {
  const auto deadline = std::chrono::steady_clock::now() + kWinePatience;
  while (std::chrono::steady_clock::now() < deadline) {
    device.StartEventWait();
    if (!device.AwaitEvent()) return {};
    if ((device.FinishEventWait().value_or(0) & line_event::RxChar) == 0) continue;
    std::uint32_t errors = 0;
    std::uint32_t waiting = 0;
    if (!device.QueryStatus(errors, waiting) || waiting == 0) continue;
    const std::lock_guard lock(io);
    return device.Read(waiting).value_or("");
  }
  return {};
}

// Behind a USB adapter an answer that straddles the adapter's tick comes as
// two packets up to a tick apart, and from a UART in pieces up to its FIFO
// trigger level apart: either way still one report; a longer pause makes
// two. The simulator echoes the bytes; the tick and the character times are
// long, so that a busy machine cannot blur the cases.
TEST(AdapterWin32, AReportWaitsForTheNextPieceTheHardwareDelivers) {
  struct Case {
    const char* what;
    const char* deviceName;
    const DeviceKey& key;
    DWORD setting;
    std::uint32_t baud;
    std::chrono::milliseconds gap;
    std::string firstRead;
  };
  const Case cases[] = {
      // Quiet 75 ms.
      {"FTDI, timer 60 ms, a gap within a tick", "\\Device\\VCP7", kFtdiKey, 60, 38400, 20ms, "\x12\x34"},
      {"FTDI, timer 60 ms, a longer gap", "\\Device\\VCP7", kFtdiKey, 60, 38400, 250ms, "\x12"},
      // 16 characters of quiet at 1200 baud: 133 ms.
      {"UART, FIFO trigger 14", "\\Device\\Serial4", kUartKey, 14, 1200, 50ms, "\x12\x34"},
      // 3 characters: 25 ms (an assumed FIFO would wait 150 ms).
      {"UART without FIFO", "\\Device\\Serial4", kUartKey, 1, 1200, 80ms, "\x12"},
  };
  for (const Case& c : cases) {
    const ScopedPortMapValues listed = ListedAs(c.deviceName);
    const ScopedDeviceKey key(c.key, kSimPort, c.setting);
    ASSERT_TRUE(listed.Ready() && key.Ready()) << c.what;
    const std::shared_ptr<SerialDevice> device = OpenSimPort();
    ASSERT_TRUE(device) << c.what;
    LineSettings settings;
    ASSERT_TRUE(device->FetchLineSettings(settings));
    settings.Baud = c.baud;
    ASSERT_TRUE(device->ApplyLineSettings(settings)) << c.what;
    // The rate reaches the line and reads back. (Wine's line holds rates of
    // the standard list only; the main window's is set by the shared suite.)
    LineSettings applied;
    ASSERT_TRUE(device->FetchLineSettings(applied));
    EXPECT_EQ(applied.Baud, c.baud) << c.what;
    LineTimeouts immediate;
    immediate.ReadInterval = 0xFFFFFFFF;
    ASSERT_TRUE(device->ApplyTimeouts(immediate));
    ASSERT_TRUE(device->Purge(PurgeMode::Clear));
    ASSERT_TRUE(device->SetEventMask(line_event::RxChar));

    std::mutex io;
    const auto write = [&](const char* bytes) {
      const std::lock_guard lock(io);
      device->Write(bytes);
    };
    std::thread answer([&] {
      write("\x12");
      std::this_thread::sleep_for(c.gap);
      write("\x34");
    });
    const std::string first = NextRead(*device, io);
    const std::string rest = first.size() < 2 ? NextRead(*device, io) : std::string();
    answer.join();
    EXPECT_EQ(first, c.firstRead) << c.what;
    EXPECT_EQ(first + rest, "\x12\x34") << c.what;
  }
}

}  // namespace
}  // namespace vn::serial
