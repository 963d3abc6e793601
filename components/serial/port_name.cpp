#include "components/serial/port_name.h"

namespace vn::serial {

std::optional<std::uint8_t> ParseComPortNumber(std::string_view name) {
  constexpr std::size_t kMaxLength = 6;
  if (name.size() > kMaxLength || name.size() < 3) return std::nullopt;
  for (std::size_t i = 0; i < 3; ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != "COM"[i]) return std::nullopt;
  }
  unsigned value = 0;
  for (std::size_t i = 3; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(name[i] - '0');  // at most three digits fit
  }
  if (value < 1 || value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

}  // namespace vn::serial
