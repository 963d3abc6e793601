// Firmware files come from anywhere; whatever they hold, the loader answers
// with a full image or one line of error, and a binary is taken as it stands.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/console/firmware_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const vn::console::FirmwareImage image = vn::console::ParseFirmwareImage(content);
  if (!image.ok) {
    if (image.error.empty() || image.error.find('\n') != std::string::npos) __builtin_trap();
    return 0;
  }
  if (image.bytes.size() != vn::console::kImageSize || image.used == 0 || image.used > vn::console::kImageSize) {
    __builtin_trap();
  }
  if (image.hex) {
    // Only bytes the file defined may differ from erased flash.
    std::size_t written = 0;
    for (const char byte : image.bytes) written += byte != '\xFF' ? 1 : 0;
    if (written > image.used) __builtin_trap();
  } else if (image.used != size || image.bytes.compare(0, size, content) != 0) {
    __builtin_trap();
  }
  return 0;
}
