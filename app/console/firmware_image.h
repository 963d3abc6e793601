#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vn::console {

inline constexpr std::size_t kImageSize = 130048;  // 508 blocks of 256 bytes

// The device's whole flash as the flasher will send it: a file never yields a
// partial image, bytes it leaves unset are erased flash (0xFF).
struct FirmwareImage {
  bool ok = false;
  std::string bytes;      // exactly kImageSize bytes when ok
  bool hex = false;       // the input was Intel HEX
  std::size_t used = 0;   // bytes the input defined (binary: its size; HEX: data bytes)
  std::string error;      // one line when !ok; HEX problems start with "line N: "
};

// Intel HEX when the content is printable text whose first non-blank byte is
// ':', raw binary (placed at address 0) otherwise. Total on any input: every
// problem becomes an error, nothing throws.
FirmwareImage ParseFirmwareImage(std::string_view content);

// Reads the file in binary mode and parses it; a file that cannot be read is
// an error naming the path and the reason.
FirmwareImage LoadFirmwareImage(const std::string& path);

}  // namespace vn::console
