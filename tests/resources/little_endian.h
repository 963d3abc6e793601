#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vn {
namespace test {

// Fields of the Windows image formats. A field that does not lie wholly
// inside `bytes` reads as 0, a value none of the checks accepts, so a
// truncated resource fails its test instead of being read past its end.
inline std::uint32_t LeUnsigned(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  if (offset > bytes.size() || width > bytes.size() - offset) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = (value << 8) | bytes[offset + i];
  return value;
}

inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(LeUnsigned(bytes, offset, 2));
}

inline std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return LeUnsigned(bytes, offset, 4);
}

inline std::int32_t LeSigned32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int32_t>(Le32(bytes, offset));
}

}  // namespace test
}  // namespace vn
