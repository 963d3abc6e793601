#include <gtest/gtest.h>

#include <string>

#include "core/text_helpers.h"

namespace vn {
namespace {

TEST(CompareNoCase, FoldsOnlyAsciiLetters) {
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_EQ(CompareNoCase("Ab", "aB"), 0);
  EXPECT_LT(CompareNoCase("a", "ab"), 0);
  EXPECT_GT(CompareNoCase("ab", "a"), 0);
  EXPECT_NE(CompareNoCase("\xC0", "\xE0"), 0);  // Cyrillic capital and small A
  EXPECT_EQ(CompareNoCase("", ""), 0);
  // The first zero byte ends the text.
  EXPECT_EQ(CompareNoCase(std::string("ab\0x", 4), "AB"), 0);
  EXPECT_EQ(CompareNoCase("[", "a"), '[' - 'A');
}

TEST(PosFrom, Table) {
  EXPECT_EQ(PosFrom("b", "abcb", 1), 2u);
  EXPECT_EQ(PosFrom("b", "abcb", 3), 4u);
  EXPECT_EQ(PosFrom("b", "abcb", 5), 0u);
  EXPECT_EQ(PosFrom("", "abc", 1), 0u);
  EXPECT_EQ(PosFrom("abcd", "abc", 1), 0u);
  EXPECT_EQ(PosFrom("c", "abc", 0), 0u);
  EXPECT_EQ(PosFrom(std::string("\0", 1), std::string("a\0", 2), 1), 2u);
}

TEST(ReplaceAll, ResumesAfterReplacement) {
  std::string s = "aaaa";
  ReplaceAll(s, "aa", "a");
  EXPECT_EQ(s, "aa");

  std::string t = "x$y $z";
  ReplaceAll(t, "$", "");
  EXPECT_EQ(t, "xy z");

  std::string grow = "aa";
  ReplaceAll(grow, "a", "aa");  // inserted text is never searched again
  EXPECT_EQ(grow, "aaaa");

  std::string same = "abc";
  ReplaceAll(same, "", "x");
  EXPECT_EQ(same, "abc");
}

TEST(ReplaceAll, FilterDecidesPerOccurrence) {
  // Replace "%1" only when no digit follows; a declined match resumes one
  // byte further.
  auto notFollowedByDigit = [](const void*, std::string_view text, std::size_t pos) {
    const std::size_t after = pos + 2;
    return after >= text.size() || text[after] < '0' || text[after] > '9';
  };
  std::string s = "%1 %12 %1";
  ReplaceAll(s, "%1", "X", notFollowedByDigit);
  EXPECT_EQ(s, "X %12 X");

  int context = 0;
  auto counting = [](const void* ctx, std::string_view, std::size_t) {
    ++*static_cast<int*>(const_cast<void*>(ctx));
    return false;
  };
  std::string t = "aaa";
  ReplaceAll(t, "aa", "b", counting, &context);
  EXPECT_EQ(t, "aaa");
  EXPECT_EQ(context, 2);  // found at 0, then at 1
}

TEST(ReplaceAll, LongTextStaysLinear) {
  std::string s(1 << 20, '%');
  ReplaceAll(s, "%%", std::string_view("\0", 1));
  EXPECT_EQ(s.size(), 1u << 19);
}

}  // namespace
}  // namespace vn
