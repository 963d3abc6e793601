// Windows lists each serial port in HARDWARE\DEVICEMAP\SERIALCOMM under the
// device path of its driver ("\Device\Serial0" from serial.sys, "\Device\VCP0"
// from FTDI's driver, ...). Each port's device key keeps, in its "Device
// Parameters", the port's name and the settings its driver takes: a UART's
// FIFO trigger level (RxFIFO), an FTDI adapter's latency timer
// (LatencyTimer). Any user may read them.
#include "components/serial/line_delivery_win32.h"

#include <algorithm>
#include <optional>
#include <string>

#include "components/serial/burst_timing.h"
#include "components/serial/registry_values_win32.h"

namespace vn::serial {
namespace {

constexpr const char* kPortMapKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// Instances of the standard PC serial port, then "Device Parameters".
constexpr const char* kUartDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\ACPI\\PNP0501";
// Device ids (VID_0403+PID_6001+serial), then instances, then the same.
constexpr const char* kFtdiDevicesKey = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";

// A 16550's deepest trigger level is 14; newer UARTs go a little further.
constexpr std::uint32_t kLargestFifoTrigger = 256;

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

// The "Device Parameters" of the instance of `device` whose port is
// `comName`; not valid when none is.
RegistryKey ParametersOfPort(HKEY device, std::string_view comName) {
  for (const std::string& instance : RegistrySubkeyNames(device)) {
    RegistryKey parameters = OpenRegistryKeyForReading(device, instance + "\\Device Parameters");
    if (!parameters.Valid()) continue;
    const std::optional<std::string> port = RegistryString(parameters.Get(), "PortName");
    if (port && SameComName(*port, comName)) return parameters;
  }
  return RegistryKey();
}

std::optional<std::uint32_t> UartFifoTrigger(std::string_view comName) {
  const RegistryKey device = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kUartDeviceKey);
  if (!device.Valid()) return std::nullopt;
  const RegistryKey parameters = ParametersOfPort(device.Get(), comName);
  if (!parameters.Valid()) return std::nullopt;
  const std::optional<std::uint32_t> trigger = RegistryDword(parameters.Get(), "RxFIFO");
  if (!trigger || *trigger == 0 || *trigger > kLargestFifoTrigger) return std::nullopt;
  return trigger;
}

std::optional<std::uint32_t> FtdiLatencyTimer(std::string_view comName) {
  const RegistryKey devices = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kFtdiDevicesKey);
  if (!devices.Valid()) return std::nullopt;
  for (const std::string& id : RegistrySubkeyNames(devices.Get())) {
    const RegistryKey device = OpenRegistryKeyForReading(devices.Get(), id);
    if (!device.Valid()) continue;
    const RegistryKey parameters = ParametersOfPort(device.Get(), comName);
    if (parameters.Valid()) return RegistryDword(parameters.Get(), "LatencyTimer");
  }
  return std::nullopt;
}

}  // namespace

LineDelivery LineDeliveryOfPort(std::string_view comName) {
  const std::optional<std::string> deviceName = DeviceNameOfPort(comName);
  const AdapterKind kind = deviceName ? AdapterKindOfDeviceName(*deviceName) : AdapterKind::UntimedUsb;
  switch (kind) {
    case AdapterKind::Uart:
      return {AdapterTick(kind, std::nullopt), UartFifoTrigger(comName).value_or(kAssumedFifoTrigger)};
    case AdapterKind::TimedUsb: return {AdapterTick(kind, FtdiLatencyTimer(comName)), 1};
    case AdapterKind::UntimedUsb: break;
  }
  return {AdapterTick(AdapterKind::UntimedUsb, std::nullopt), 1};
}

}  // namespace vn::serial
