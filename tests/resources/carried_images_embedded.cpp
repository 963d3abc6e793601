#include "components/data/carried_blobs.h"
#include "tests/resources/carried_images.h"
#include "tests/resources/little_endian.h"

namespace vn {
namespace test {
namespace {

constexpr std::size_t kBmpFileHeaderSize = 14;
constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconDirEntrySize = 16;

// A width or height byte of 0 in an icon directory means 256.
int IconSide(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

}  // namespace

std::span<const std::uint8_t> CarriedPictureDib() {
  const std::span<const std::uint8_t> file = FindCarriedBlob("BITMAP0");
  if (file.size() < kBmpFileHeaderSize || file[0] != 'B' || file[1] != 'M') return {};
  // The size field must agree with the blob, and the pixels must follow the
  // info header directly (no palette, no gap), as in the packed DIB that a
  // bitmap resource holds.
  if (Le32(file, 2) != file.size() || Le32(file, 10) != kBmpFileHeaderSize + Le32(file, kBmpFileHeaderSize)) {
    return {};
  }
  return file.subspan(kBmpFileHeaderSize);
}

std::vector<IconImage> CarriedIconImages() {
  const std::span<const std::uint8_t> file = FindCarriedBlob("QOLA");
  std::vector<IconImage> images;
  if (file.size() < kIconDirSize || Le16(file, 0) != 0 || Le16(file, 2) != 1) return images;
  const std::size_t count = Le16(file, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = kIconDirSize + i * kIconDirEntrySize;
    if (entry + kIconDirEntrySize > file.size()) break;
    IconImage image;
    image.width = IconSide(file[entry]);
    image.height = IconSide(file[entry + 1]);
    image.bitCount = Le16(file, entry + 6);
    const std::size_t size = Le32(file, entry + 8);
    const std::size_t offset = Le32(file, entry + 12);
    if (offset <= file.size() && size <= file.size() - offset) image.image = file.subspan(offset, size);
    images.push_back(image);
  }
  return images;
}

}  // namespace test
}  // namespace vn
