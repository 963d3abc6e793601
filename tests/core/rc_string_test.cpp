#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/rc_string.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

TEST(RcString, BinarySafeWithZeroTerminator) {
  const std::string bytes("a\0b\xff", 4);
  const RcString s(bytes);
  EXPECT_EQ(s.size(), 4u);
  EXPECT_EQ(s.view(), bytes);
  EXPECT_EQ(s.data()[4], '\0');
  EXPECT_EQ(s[3], 0xFF);

  const RcString longer(std::string(100, '\0') + "x");
  EXPECT_EQ(longer.size(), 101u);
  EXPECT_EQ(longer.data()[101], '\0');
}

TEST(RcString, CopiesShareLongStrings) {
  RcString a(std::string(64, 'q'));
  RcString b = a;
  EXPECT_TRUE(b.SharesBufferWith(a));
  RcString c;
  c = b;
  EXPECT_TRUE(c.SharesBufferWith(a));
  a = RcString("short");
  EXPECT_EQ(b.view(), std::string(64, 'q'));
  RcString moved = std::move(b);
  EXPECT_TRUE(moved.SharesBufferWith(c));
  EXPECT_TRUE(b.empty());  // NOLINT: moved-from is a valid empty string
  c = c;  // NOLINT: self-assignment keeps the value
  EXPECT_EQ(c.size(), 64u);
}

TEST(RcString, CountIsSafeAcrossThreads) {
  const RcString shared(std::string(1000, 'z'));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared] {
      for (int i = 0; i < 20000; ++i) {
        RcString copy = shared;
        RcString other = copy;
        ASSERT_EQ(other.size(), 1000u);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(shared.size(), 1000u);
}

}  // namespace
}  // namespace vn
