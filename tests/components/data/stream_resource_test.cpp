#include "components/data/stream_resource.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace vn {
namespace {

// tests/data/testblob.bin is carried by this test program as "TESTBLOB":
// byte i is ((i * 37) ^ (i >> 3)) & 0xFF, 300 bytes, zero bytes included.
std::uint8_t ExpectedByte(int i) { return static_cast<std::uint8_t>(((i * 37) ^ (i >> 3)) & 0xFF); }

TEST(LoadStreamResource, LoadsCarriedBlobPositionedAtStart) {
  auto stream = LoadStreamResource("TESTBLOB");
  ASSERT_EQ(stream->Size(), 300);
  EXPECT_EQ(stream->Position(), 0);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(stream->Memory()[static_cast<std::size_t>(i)], ExpectedByte(i)) << i;

  std::array<std::uint8_t, 4> head{};
  EXPECT_EQ(stream->Read(head), 4);
  EXPECT_EQ(head[1], ExpectedByte(1));
  EXPECT_EQ(LoadStreamResource("testblob")->Size(), 300);  // names ignore letter case, as on Windows
}

TEST(LoadStreamResource, UnknownNameGivesEmptyStream) {
  for (const char* name : {"STREAM1", "", "TESTBLOB2", "TESTBLO"}) {
    auto stream = LoadStreamResource(name);
    EXPECT_EQ(stream->Size(), 0) << name;
    EXPECT_EQ(stream->Position(), 0);
  }
}

}  // namespace
}  // namespace vn
