// Pictures and icons from the blobs the program carries; kept apart from
// the rest of the backend so that only programs that load them need blobs.

#include <limits>
#include <span>

#include "core/carried_blobs.h"
#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace {

class BlobBitmap final : public Bitmap {
 public:
  BlobBitmap(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }

 private:
  std::int32_t width_;
  std::int32_t height_;
};

std::uint32_t Little(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

}  // namespace

// The blob is a bitmap file (BITMAPFILEHEADER first) or, as a bitmap
// resource holds it, the bitmap's info header alone. Only the header's
// size fields are read; a header too short to hold them gives no bitmap.
std::unique_ptr<Bitmap> LoadBitmapResource(std::string_view name) {
  std::span<const std::uint8_t> bytes = FindCarriedBlob(name);
  constexpr std::size_t kFileHeader = 14;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (bytes.size() < kFileHeader) return nullptr;
    bytes = bytes.subspan(kFileHeader);
  }
  if (bytes.size() < 4) return nullptr;
  const std::uint32_t headerSize = Little(bytes, 0, 4);
  if (headerSize == 12) {  // BITMAPCOREHEADER: 16-bit sizes
    if (bytes.size() < 8) return nullptr;
    return std::make_unique<BlobBitmap>(static_cast<std::int32_t>(Little(bytes, 4, 2)),
                                        static_cast<std::int32_t>(Little(bytes, 6, 2)));
  }
  if (headerSize < 16 || bytes.size() < 12) return nullptr;
  const auto width = static_cast<std::int32_t>(Little(bytes, 4, 4));
  const auto height = static_cast<std::int32_t>(Little(bytes, 8, 4));
  // A negative height marks a top-down bitmap.
  if (width < 0 || height == std::numeric_limits<std::int32_t>::min()) return nullptr;
  return std::make_unique<BlobBitmap>(width, height < 0 ? -height : height);
}

std::shared_ptr<Icon> LoadIconResource(std::string_view name) {
  if (FindCarriedBlob(name).empty()) return nullptr;
  return std::make_shared<Icon>(Icon{std::string(name)});
}

}  // namespace vn::toolkit
