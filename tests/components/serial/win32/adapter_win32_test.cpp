// The hardware behind a port, as the registry tells it, and the reader's
// wait for the pieces in which it delivers an answer. Each case gives the
// simulator's port (COM5) a name in the serial port map and a device key
// of its own, and takes both back afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "components/serial/burst_timing.h"
#include "components/serial/serial_device.h"
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

RegistryKey CreateKey(const std::string& path) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr) != ERROR_SUCCESS) {
    return RegistryKey();
  }
  return RegistryKey(created);
}

bool SetString(HKEY key, const std::string& name, const std::string& text) {
  return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// The simulator's port listed under `deviceName` alone (or not at all when
// it is empty), as a driver would list it; the names it had come back after.
class ScopedPortMapName {
 public:
  explicit ScopedPortMapName(const std::string& deviceName, const std::string& portName = kSimPort)
      : key_(CreateKey(kPortMapKey)), deviceName_(deviceName) {
    if (!key_.Valid()) return;
    for (DWORD index = 0;; ++index) {
      char name[256] = {};
      char data[256] = {};
      DWORD nameLength = sizeof name;
      DWORD dataSize = sizeof data - 1;
      DWORD type = 0;
      if (::RegEnumValueA(key_.Get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                          &dataSize) != ERROR_SUCCESS) {
        break;
      }
      if (type == REG_SZ && _stricmp(data, kSimPort) == 0) taken_.emplace_back(name, data);
    }
    for (const auto& [name, data] : taken_) ::RegDeleteValueA(key_.Get(), name.c_str());
    ready_ = deviceName_.empty() || SetString(key_.Get(), deviceName_, portName);
  }
  ScopedPortMapName(const ScopedPortMapName&) = delete;
  ScopedPortMapName& operator=(const ScopedPortMapName&) = delete;
  ~ScopedPortMapName() {
    if (!key_.Valid()) return;
    if (!deviceName_.empty()) ::RegDeleteValueA(key_.Get(), deviceName_.c_str());
    for (const auto& [name, data] : taken_) SetString(key_.Get(), name, data);
  }
  bool Ready() const { return ready_; }

 private:
  RegistryKey key_;
  std::string deviceName_;
  std::vector<std::pair<std::string, std::string>> taken_;
  bool ready_ = false;
};

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
    ready_ = parameters.Valid() && SetString(parameters.Get(), "PortName", portName);
    if (ready_ && setting) {
      ready_ = ::RegSetValueExA(parameters.Get(), where.setting, 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&*setting), sizeof(DWORD)) == ERROR_SUCCESS;
    }
  }
  ScopedDeviceKey(const ScopedDeviceKey&) = delete;
  ScopedDeviceKey& operator=(const ScopedDeviceKey&) = delete;
  ~ScopedDeviceKey() {
    HKEY parent = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEnumKey) + where_.parent).c_str(), 0, KEY_ALL_ACCESS,
                        &parent) != ERROR_SUCCESS) {
      return;
    }
    const RegistryKey owner(parent);
    ::RegDeleteTreeA(owner.Get(), where_.own);
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
      {"FTDI at its default", "\\Device\\VCP7", kSimPort, kSimPort, 16, 16ms},
      {"FTDI, lowered timer, names in other cases", "\\device\\vcp7", "com5", "Com5", 2, 2ms},
      {"FTDI whose key belongs to another port", "\\Device\\VCP7", kSimPort, "COM6", 2, kUntimedAdapterTick},
      {"FTDI with no timer in its key", "\\Device\\VCP7", kSimPort, kSimPort, std::nullopt, kUntimedAdapterTick},
      {"a CP210x (whatever an FTDI key says)", "\\Device\\Silabser0", kSimPort, kSimPort, 2, kUntimedAdapterTick},
      {"not in the port map", "", kSimPort, std::nullopt, std::nullopt, kUntimedAdapterTick},
  };
  for (const Case& c : cases) {
    const ScopedPortMapName listed(c.deviceName, c.listedAs);
    ASSERT_TRUE(listed.Ready()) << c.what;
    std::optional<ScopedDeviceKey> ftdi;
    if (c.ftdiPort) {
      ftdi.emplace(kFtdiKey, *c.ftdiPort, c.latencyTimerMs);
      ASSERT_TRUE(ftdi->Ready()) << c.what;
    }
    PlatformError error;
    const std::shared_ptr<SerialDevice> device = SerialDevice::Open(kSimPort, &error);
    ASSERT_TRUE(device) << c.what << ": " << error.operation << " " << error.code;
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
      {"FTDI, timer 60 ms, a gap within a tick", "\\Device\\VCP7", kFtdiKey, 60, 38462, 20ms, "\x12\x34"},
      {"FTDI, timer 60 ms, a longer gap", "\\Device\\VCP7", kFtdiKey, 60, 38462, 250ms, "\x12"},
      // 16 characters of quiet at 1200 baud: 133 ms.
      {"UART, FIFO trigger 14", "\\Device\\Serial4", kUartKey, 14, 1200, 50ms, "\x12\x34"},
      // 3 characters: 25 ms (an assumed FIFO would wait 150 ms).
      {"UART without FIFO", "\\Device\\Serial4", kUartKey, 1, 1200, 80ms, "\x12"},
  };
  for (const Case& c : cases) {
    const ScopedPortMapName listed(c.deviceName);
    const ScopedDeviceKey key(c.key, kSimPort, c.setting);
    ASSERT_TRUE(listed.Ready() && key.Ready()) << c.what;
    PlatformError error;
    const std::shared_ptr<SerialDevice> device = SerialDevice::Open(kSimPort, &error);
    ASSERT_TRUE(device) << c.what << ": " << error.operation << " " << error.code;
    LineSettings settings;
    ASSERT_TRUE(device->FetchLineSettings(settings));
    settings.Baud = c.baud;
    ASSERT_TRUE(device->ApplyLineSettings(settings)) << c.what;
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
