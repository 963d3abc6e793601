#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vn::serial {

// The port number of a name such as "COM7" or "com7": at most six
// characters, "COM" in any letter case, then decimal digits up to the first
// other character, worth 1..255. "COM12A" passes with 12 (opening it fails
// later); "COM0", "COM256", "COM", "COM 3" and longer names do not.
std::optional<std::uint8_t> ParseComPortNumber(std::string_view name);

}  // namespace vn::serial
