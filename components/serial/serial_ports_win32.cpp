// The machine's serial ports, as the drivers list them in the registry.
#include <string>
#include <vector>

#include "components/serial/registry_values_win32.h"
#include "components/serial/serial_device.h"

namespace vn::serial {
namespace {

// The value's data is the port name; the value's name (a driver's device
// path) matters only for telling the adapter (line_delivery_win32.cpp).
constexpr const char* kPortListKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

}  // namespace

std::vector<std::string> SerialDevice::ListPorts() {
  std::vector<std::string> ports;
  const RegistryKey key = OpenRegistryKeyForReading(HKEY_LOCAL_MACHINE, kPortListKey);
  if (!key.Valid()) return ports;

  for (const std::string& name : RegistryValueNames(key.Get())) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      break;
    }
    std::string data(size, '\0');
    DWORD fetched = size;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                           &fetched) != ERROR_SUCCESS) {
      continue;
    }
    ports.push_back(RegistryText(data, fetched));
  }
  return ports;
}

}  // namespace vn::serial
