// The machine's serial ports, as the drivers list them in the registry.
#include <algorithm>
#include <string>
#include <vector>

#include "components/serial/serial_device.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::serial {
namespace {

// The value's data is the port name; the value's name (a driver's device
// path) says nothing the application needs.
constexpr const char* kPortListKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Registry data need not end with a zero byte: what counts is the size the
// registry reported, cut at the first zero byte inside it.
std::string TextOf(const std::string& data, DWORD size) {
  const std::size_t end = std::min<std::size_t>(size, data.size());
  const std::size_t zero = data.find('\0');
  return data.substr(0, std::min(end, zero));
}

}  // namespace

std::vector<std::string> SerialDevice::ListPorts() {
  std::vector<std::string> ports;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortListKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return ports;
  const RegistryKey key(opened);

  DWORD valueCount = 0;
  DWORD longestName = 0;
  if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                         &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return ports;
  }

  // The longest name's length leaves out the terminating zero.
  std::string nameBuffer(std::size_t{longestName} + 1, '\0');
  for (DWORD index = 0; index < valueCount; ++index) {
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    if (::RegEnumValueA(key.Get(), index, nameBuffer.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    const std::string name = TextOf(nameBuffer, nameLength);

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
    ports.push_back(TextOf(data, fetched));
  }
  return ports;
}

}  // namespace vn::serial
