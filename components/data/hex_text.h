#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vn {

// Hexadecimal text as the components write it: upper-case digits, most
// significant first, no prefix, no separators.

// One leading "$" is skipped; then hex digits are taken up to the first other
// character, in unsigned 32-bit arithmetic (overflowing digits push the high
// ones out). Empty text or text starting otherwise gives 0.
std::uint32_t HexTextToNumber(std::string_view text);

// At least `digits` digits (taken modulo 16, and at least one), zero-padded,
// more when the value needs them.
std::string NumberToHex(std::uint32_t value, std::int32_t digits);

// Two digits per byte, high nibble first.
std::string BytesToHex(std::string_view bytes);

}  // namespace vn
