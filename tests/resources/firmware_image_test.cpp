#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "components/data/crc16_32.h"
#include "components/data/stream_resource.h"

namespace vn {
namespace {

constexpr std::int32_t kBlockSize = 256;
constexpr std::int32_t kBlockCount = 508;

// The image's CRC-16/MODBUS as resources/README.md records it (and
// `generate.py --crc` prints it). A change of the image must change both.
constexpr std::uint32_t kRecordedImageCrc = 0xBD97;

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(FirmwareImage, IsCarriedAs508BlocksOf256Bytes) {
  const auto stream = LoadStreamResource("STREAM0");
  EXPECT_EQ(stream->Size(), kBlockCount * kBlockSize);
  EXPECT_EQ(stream->Position(), 0);
}

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

TEST(FirmwareImage, ChecksumIsTheRecordedOne) {
  const auto stream = LoadStreamResource("STREAM0");
  const std::uint32_t crc = ComputeCrc(/*kind=*/0, 0xA001, 0xFFFF, AsText(stream->Memory()), CrcInput::RawBytes);
  EXPECT_EQ(crc, kRecordedImageCrc) << std::hex << crc;
}

}  // namespace
}  // namespace vn
