#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "components/data/stream_resource.h"

namespace vn {
namespace {

constexpr std::int32_t kBlockSize = 256;
constexpr std::int32_t kBlockCount = 508;

TEST(FirmwareImage, HoldsEveryByteValueWithoutRepeatingABlock) {
  const auto stream = LoadStreamResource("STREAM0");
  const std::span<const std::uint8_t> image = stream->Memory();
  ASSERT_EQ(image.size(), static_cast<std::size_t>(kBlockCount * kBlockSize));

  // Every value, 0x00 and 0x80-0xFF included, so that a transfer test sees
  // each one go down the line; that also rules out one repeated value.
  std::array<int, 256> seen{};
  for (const std::uint8_t byte : image) ++seen[byte];
  for (std::size_t value = 0; value < seen.size(); ++value) EXPECT_GT(seen[value], 0) << "byte value " << value;

  // A periodic image would let an upload that resends or skips a block
  // still end with matching acknowledgements.
  const auto firstBlock = image.first(kBlockSize);
  for (std::size_t block = 1; block < static_cast<std::size_t>(kBlockCount); ++block) {
    EXPECT_FALSE(std::ranges::equal(image.subspan(block * kBlockSize, kBlockSize), firstBlock)) << "block " << block;
  }
}

}  // namespace
}  // namespace vn
