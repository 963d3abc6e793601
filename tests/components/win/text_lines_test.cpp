#include "components/win/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vn::test {
namespace {

using Lines = std::vector<std::string>;

Lines Split(std::string_view text) {
  Lines lines;
  for (const std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

TEST(TextLinesTest, SplitsAtCarriageReturns) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"x\r\ny\r\n", {"x", "y"}},
      {"x\r\ny", {"x", "y"}},
      {"", {}},
      {"\r\n", {""}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\rb\r", {"a", "b"}},           // a lone CR ends a line too
      {"a\nb", {"a\nb"}},               // a lone LF does not
      {"a\r\n\nb", {"a", "\nb"}},       // only one LF belongs to the separator
      {std::string("\0\xFF\r\n\x80", 5), {std::string("\0\xFF", 2), "\x80"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Split(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(TextLinesTest, JoinsWithCrLfAndKeepsATrailingEmptyItem) {
  EXPECT_EQ(JoinLines({"a", ""}), "a\r\n\r\n");
  EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb");
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({""}), "\r\n");
  EXPECT_EQ(JoinLines({"COM1"}), "COM1");
}

TEST(TextLinesTest, ManyLinesSplitWhole) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "ab\r\n";
  const auto lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 200000u);
  EXPECT_EQ(lines.back(), "ab");
}

}  // namespace
}  // namespace vn::test
