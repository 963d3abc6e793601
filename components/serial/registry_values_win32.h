#pragma once

// Reading the registry as its data really is: a value's data need not end
// with a zero byte, and only the size the registry reports counts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::serial {

// The text of string data fetched into `data`, of which the registry
// reported `size` bytes: cut at that size or at the first zero byte inside.
std::string RegistryText(const std::string& data, DWORD size);

// The key `path` under `root`, for reading; not valid when it cannot be
// opened.
RegistryKey OpenRegistryKeyForReading(HKEY root, const std::string& path);

// The names of a key's subkeys in the registry's own order.
std::vector<std::string> RegistrySubkeyNames(HKEY key);

// The names of a key's values in the registry's own order, up to the first
// that cannot be fetched.
std::vector<std::string> RegistryValueNames(HKEY key);

// A value of type REG_SZ; none when it is missing or of another type.
std::optional<std::string> RegistryString(HKEY key, const char* name);

// A value of type REG_DWORD; none when it is missing or of another type.
std::optional<std::uint32_t> RegistryDword(HKEY key, const char* name);

}  // namespace vn::serial
