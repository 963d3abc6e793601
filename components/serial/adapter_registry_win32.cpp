// Windows lists each serial port in HARDWARE\DEVICEMAP\SERIALCOMM under the
// device path of its driver ("\Device\Serial0" from serial.sys, "\Device\VCP0"
// from FTDI's driver, ...); FTDI's driver keeps each adapter's latency timer
// in the adapter's device key, which any user may read.
#include "components/serial/adapter_registry_win32.h"

#include <algorithm>
#include <optional>
#include <string>

#include "components/serial/burst_timing.h"
#include "components/serial/registry_values_win32.h"

namespace vn::serial {
namespace {

constexpr const char* kPortMapKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// Device id (VID_0403+PID_6001+serial), then instance, then this.
constexpr const char* kFtdiDevicesKey = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
constexpr const char* kFtdiParametersKey = "Device Parameters";

// COM names are ASCII; Windows takes them in any case.
bool SameComName(std::string_view a, std::string_view b) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

// The name of the port map's value whose data is `comName`.
std::optional<std::string> DeviceNameOfPort(std::string_view comName) {
  const RegistryKey map = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kPortMapKey);
  if (!map.Valid()) return std::nullopt;
  for (const std::string& name : RegistryValueNames(map.Get())) {
    const std::optional<std::string> port = RegistryString(map.Get(), name.c_str());
    if (port && SameComName(*port, comName)) return name;
  }
  return std::nullopt;
}

// The latency timer (ms) of the FTDI adapter whose port is `comName`.
std::optional<std::uint32_t> FtdiLatencyTimer(std::string_view comName) {
  const RegistryKey devices = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kFtdiDevicesKey);
  if (!devices.Valid()) return std::nullopt;
  for (const std::string& device : RegistrySubkeyNames(devices.Get())) {
    const RegistryKey instances = OpenRegistryKeyForReading(devices.Get(), device);
    if (!instances.Valid()) continue;
    for (const std::string& instance : RegistrySubkeyNames(instances.Get())) {
      const RegistryKey parameters =
          OpenRegistryKeyForReading(instances.Get(), instance + "\\" + kFtdiParametersKey);
      if (!parameters.Valid()) continue;
      const std::optional<std::string> port = RegistryString(parameters.Get(), "PortName");
      if (port && SameComName(*port, comName)) return RegistryDword(parameters.Get(), "LatencyTimer");
    }
  }
  return std::nullopt;
}

}  // namespace

std::chrono::microseconds AdapterTickOfPort(std::string_view comName) {
  const std::optional<std::string> deviceName = DeviceNameOfPort(comName);
  if (!deviceName) return AdapterTick(AdapterKind::UntimedUsb, std::nullopt);
  const AdapterKind kind = AdapterKindOfDeviceName(*deviceName);
  return AdapterTick(kind, kind == AdapterKind::TimedUsb ? FtdiLatencyTimer(comName) : std::nullopt);
}

}  // namespace vn::serial
