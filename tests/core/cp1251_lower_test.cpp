#include "core/cp1251_lower.h"

#include <gtest/gtest.h>

#include <string>

namespace vn {
namespace {

TEST(Cp1251Lower, FoldsLatinAndCyrillicCapitalsOnly) {
  std::string text = "ABCxyz\xC0\xDF\xA8\xB2\xE0 1";  // А Я Ё І а
  LowerCp1251(text);
  EXPECT_EQ(text, "abcxyz\xE0\xFF\xB8\xB3\xE0 1");
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    const unsigned char lower = LowerCp1251(byte);
    if (lower != byte) {
      EXPECT_EQ(LowerCp1251(lower), lower) << c;  // small letters stay
    }
  }
  std::string zero("AB\0CD", 5);  // folding stops at the first zero byte
  LowerCp1251(zero);
  EXPECT_EQ(zero, std::string("ab\0CD", 5));
}

}  // namespace
}  // namespace vn
