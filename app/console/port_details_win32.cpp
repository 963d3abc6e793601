// Each serial port's device lives under HKLM\SYSTEM\CurrentControlSet\Enum
// as <bus>\<device id>\<instance>, its "Device Parameters" holding the
// port's name. The device id carries the USB ids: "VID_0403&PID_6001" under
// USB, "VID_0403+PID_6001+A50285BIA" under FTDI's own bus. Any user may read
// these keys.
#include "app/console/port_details.h"

#include <algorithm>
#include <optional>

#include "components/serial/registry_values_win32.h"

namespace vn::console {
namespace {

constexpr const char* kEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
// Adapters with Windows' own drivers (CDC-ACM, CP210x, CH340, ...), those
// with FTDI's driver, and the board's UARTs.
constexpr const char* kBuses[] = {"USB", "FTDIBUS", "ACPI"};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// COM names and registry key names are ASCII; Windows takes them in any case.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (Upper(c) >= 'A' && Upper(c) <= 'F'); }

// The four hex digits after `tag` ("VID_") in a device id, lower-case.
std::string IdAfter(std::string_view deviceId, std::string_view tag) {
  for (std::size_t at = 0; at + tag.size() + 4 <= deviceId.size(); ++at) {
    if (!SameIgnoringCase(deviceId.substr(at, tag.size()), tag)) continue;
    const std::string_view digits = deviceId.substr(at + tag.size(), 4);
    if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) continue;
    std::string id(digits);
    std::transform(id.begin(), id.end(), id.begin(), Lower);
    return id;
  }
  return {};
}

// Device texts set by a driver package may be indirect: "@oem12.inf,%ftdi%;FTDI"
// stands for the text after the semicolon.
std::string Shown(const std::optional<std::string>& value) {
  if (!value) return {};
  if (value->empty() || value->front() != '@') return *value;
  const std::size_t semicolon = value->rfind(';');
  return semicolon == std::string::npos ? std::string() : value->substr(semicolon + 1);
}

// Registry texts read through the A functions are in the system's ANSI code
// page; the details speak UTF-8.
std::string AnsiToUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

bool NamesPort(HKEY instance, std::string_view comName) {
  const serial::RegistryKey parameters = serial::OpenRegistryKeyForReading(instance, "Device Parameters");
  if (!parameters.Valid()) return false;
  const std::optional<std::string> port = serial::RegistryString(parameters.Get(), "PortName");
  return port && SameIgnoringCase(*port, comName);
}

PortDetails DetailsOfInstance(HKEY instance, std::string_view bus, const std::string& deviceId,
                              const std::string& instanceName) {
  PortDetails details;
  const std::string vendor = IdAfter(deviceId, "VID_");
  const std::string product = IdAfter(deviceId, "PID_");
  if (!vendor.empty() && !product.empty()) details.vendorProduct = vendor + ":" + product;
  details.maker = AnsiToUtf8(Shown(serial::RegistryString(instance, "Mfg")));
  details.product = AnsiToUtf8(Shown(serial::RegistryString(instance, "DeviceDesc")));
  // A USB device with a serial number is its instance; Windows makes up
  // instance names with '&' for devices that have none.
  if (bus == "USB" && instanceName.find('&') == std::string::npos) details.serial = instanceName;
  const std::string friendly = AnsiToUtf8(Shown(serial::RegistryString(instance, "FriendlyName")));
  details.description = friendly.empty() ? details.product : friendly;
  return details;
}

std::optional<PortDetails> DetailsOnBus(const char* bus, std::string_view comName) {
  const serial::RegistryKey devices =
      serial::OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, std::string(kEnumKey) + bus);
  if (!devices.Valid()) return std::nullopt;
  for (const std::string& deviceId : serial::RegistrySubkeyNames(devices.Get())) {
    const serial::RegistryKey device = serial::OpenRegistryKeyForReading(devices.Get(), deviceId);
    if (!device.Valid()) continue;
    for (const std::string& instanceName : serial::RegistrySubkeyNames(device.Get())) {
      const serial::RegistryKey instance = serial::OpenRegistryKeyForReading(device.Get(), instanceName);
      if (instance.Valid() && NamesPort(instance.Get(), comName)) {
        return DetailsOfInstance(instance.Get(), bus, deviceId, instanceName);
      }
    }
  }
  return std::nullopt;
}

}  // namespace

PortDetails DetailsOfPort(std::string_view comName) {
  for (const char* bus : kBuses) {
    if (std::optional<PortDetails> details = DetailsOnBus(bus, comName)) return std::move(*details);
  }
  return {};
}

}  // namespace vn::console
