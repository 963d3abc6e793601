#pragma once

// Intel HEX text for tests, written the way common tools write it.

#include <cstdint>
#include <string>
#include <vector>

namespace vn::test {

using HexData = std::vector<std::uint8_t>;

// One record, checksum included, without its line end.
inline std::string HexRecord(std::uint8_t type, std::uint16_t offset, const HexData& data) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  HexData frame = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
                    static_cast<std::uint8_t>(offset & 0xFF), type};
  frame.insert(frame.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (const std::uint8_t b : frame) sum += b;
  frame.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
  std::string text = ":";
  for (const std::uint8_t b : frame) text += {kDigits[b >> 4], kDigits[b & 0xF]};
  return text;
}

// The records, each followed by `end`.
inline std::string HexLines(const std::vector<std::string>& lines, const std::string& end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

inline const std::string kHexEof = ":00000001FF";

}  // namespace vn::test
