#include "components/data/hex_text.h"

namespace vn {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::uint32_t HexTextToNumber(std::string_view text) {
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  std::uint32_t value = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::string NumberToHex(std::uint32_t value, std::int32_t digits) {
  // The count is taken modulo 16 as an unsigned nibble, so -1 asks for 15.
  std::size_t width = static_cast<std::uint32_t>(digits) & 15u;
  if (width == 0) width = 1;
  std::string text;
  for (std::uint32_t rest = value; rest != 0; rest >>= 4) text.insert(text.begin(), kDigits[rest & 15u]);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string BytesToHex(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 15u]);
  }
  return text;
}

}  // namespace vn
