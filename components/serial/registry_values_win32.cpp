#include "components/serial/registry_values_win32.h"

#include <algorithm>

namespace vn::serial {

std::string RegistryText(const std::string& data, DWORD size) {
  const std::size_t end = std::min<std::size_t>(size, data.size());
  const std::size_t zero = data.find('\0');
  return data.substr(0, std::min(end, zero));
}

RegistryKey OpenRegistryKeyForReading(HKEY root, const std::string& path) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return RegistryKey();
  return RegistryKey(opened);
}

std::vector<std::string> RegistrySubkeyNames(HKEY key) {
  std::vector<std::string> names;
  DWORD count = 0;
  DWORD longest = 0;
  if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
    return names;
  }
  std::string buffer(std::size_t{longest} + 1, '\0');  // the longest length leaves out the zero
  for (DWORD index = 0; index < count; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (::RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(RegistryText(buffer, length));
  }
  return names;
}

std::vector<std::string> RegistryValueNames(HKEY key) {
  std::vector<std::string> names;
  DWORD count = 0;
  DWORD longest = 0;
  if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
    return names;
  }
  std::string buffer(std::size_t{longest} + 1, '\0');  // the longest length leaves out the zero
  for (DWORD index = 0; index < count; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (::RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(RegistryText(buffer, length));
  }
  return names;
}

std::optional<std::string> RegistryString(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  std::string data(size, '\0');
  DWORD fetched = size;
  if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &fetched) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return RegistryText(data, fetched);
}

std::optional<std::uint32_t> RegistryDword(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  // A value of another size is not a DWORD, whatever its type says.
  if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

}  // namespace vn::serial
