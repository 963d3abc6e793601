#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "tests/resources/carried_images.h"
#include "tests/resources/little_endian.h"

namespace vn {
namespace test {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kUncompressed = 0;     // BI_RGB
constexpr int kPictureSide = 290;

struct InfoHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
};

InfoHeader ReadInfoHeader(std::span<const std::uint8_t> dib) {
  return {Le32(dib, 0), LeSigned32(dib, 4), LeSigned32(dib, 8), Le16(dib, 12), Le16(dib, 14), Le32(dib, 16)};
}

TEST(CarriedPicture, Is290By290At32BitsPerPixel) {
  const std::span<const std::uint8_t> dib = CarriedPictureDib();
  ASSERT_FALSE(dib.empty()) << "no BITMAP0, or a malformed file header";
  const InfoHeader header = ReadInfoHeader(dib);
  EXPECT_EQ(header.size, kInfoHeaderSize);
  EXPECT_EQ(header.width, kPictureSide);
  EXPECT_EQ(std::abs(header.height), kPictureSide);  // negative: top row first
  EXPECT_EQ(header.planes, 1);
  EXPECT_EQ(header.bitCount, 32);
  // Uncompressed 32-bit is what LoadBitmapA takes on every Windows version.
  EXPECT_EQ(header.compression, kUncompressed);
  EXPECT_GE(dib.size(), kInfoHeaderSize + kPictureSide * kPictureSide * 4);
}

class CarriedIcon : public ::testing::TestWithParam<int> {
 protected:
  // The directory entry of the image of the parameter's size; fails the
  // test when there is not exactly one.
  IconImage ImageOfSize() {
    const int side = GetParam();
    IconImage found;
    int matches = 0;
    for (const IconImage& image : CarriedIconImages()) {
      if (image.width == side && image.height == side) {
        found = image;
        ++matches;
      }
    }
    EXPECT_EQ(matches, 1) << side << " x " << side << " images in QOLA";
    return found;
  }
};

TEST_P(CarriedIcon, HasAnImageOfThisSizeAt32Bits) {
  const int side = GetParam();
  const IconImage image = ImageOfSize();
  EXPECT_EQ(image.bitCount, 32);
  ASSERT_FALSE(image.image.empty()) << "the directory entry points at nothing";

  // An icon image states the colour and mask rows as one bitmap of twice
  // the height.
  const InfoHeader header = ReadInfoHeader(image.image);
  EXPECT_EQ(header.size, kInfoHeaderSize);
  EXPECT_EQ(header.width, side);
  EXPECT_EQ(header.height, 2 * side);
  EXPECT_EQ(header.bitCount, 32);
  EXPECT_EQ(header.compression, kUncompressed);
  const std::size_t maskRowBytes = static_cast<std::size_t>((side + 31) / 32 * 4);
  const std::size_t pixels = static_cast<std::size_t>(side * side);
  EXPECT_GE(image.image.size(), kInfoHeaderSize + pixels * 4 + maskRowBytes * static_cast<std::size_t>(side));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CarriedIcon, ::testing::Values(16, 32),
                         [](const ::testing::TestParamInfo<int>& param) { return "Side" + std::to_string(param.param); });

}  // namespace
}  // namespace test
}  // namespace vn
