#include "core/win32_api.h"
#include "tests/resources/carried_images.h"
#include "tests/resources/little_endian.h"

namespace vn {
namespace test {
namespace {

constexpr std::size_t kGroupIconDirSize = 6;
// A group directory entry is an icon file's entry with the 32-bit file
// offset replaced by the 16-bit id of the icon resource.
constexpr std::size_t kGroupIconEntrySize = 14;

std::span<const std::uint8_t> ModuleResource(const char* name, const char* type) {
  HRSRC info = FindResourceA(nullptr, name, type);
  if (info == nullptr) return {};
  HGLOBAL handle = LoadResource(nullptr, info);
  if (handle == nullptr) return {};
  const void* bytes = LockResource(handle);
  if (bytes == nullptr) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, info)};
}

int IconSide(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

}  // namespace

std::span<const std::uint8_t> CarriedPictureDib() { return ModuleResource("BITMAP0", RT_BITMAP); }

std::vector<IconImage> CarriedIconImages() {
  const std::span<const std::uint8_t> group = ModuleResource("QOLA", RT_GROUP_ICON);
  std::vector<IconImage> images;
  if (group.size() < kGroupIconDirSize || Le16(group, 0) != 0 || Le16(group, 2) != 1) return images;
  const std::size_t count = Le16(group, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = kGroupIconDirSize + i * kGroupIconEntrySize;
    if (entry + kGroupIconEntrySize > group.size()) break;
    IconImage image;
    image.width = IconSide(group[entry]);
    image.height = IconSide(group[entry + 1]);
    image.bitCount = Le16(group, entry + 6);
    image.image = ModuleResource(MAKEINTRESOURCEA(Le16(group, entry + 12)), RT_ICON);
    images.push_back(image);
  }
  return images;
}

}  // namespace test
}  // namespace vn
