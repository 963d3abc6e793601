#include "components/data/multi_str_part.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;
using Parts = std::vector<std::string>;

class MultiStrPartTest : public test::LiveDispatchTest {
 protected:
  MultiStrPartTest() {
    split.onSplit = rest.Link();
    split.onNotFound = notFound.Link();
  }

  // Splits `text`; answers the parts as the var point gives them.
  Parts Split(const std::string& text) {
    rest.hits.clear();
    notFound.hits.clear();
    FireString(MakePoint<&TVNMultiStrPart::doSplit>(0, &split), RcString(text));
    Parts parts;
    for (std::int32_t k = 0; k < split.Count(); ++k) {
      TData answer;
      ReadPoint(MakePoint<&TVNMultiStrPart::Part>(static_cast<std::uint16_t>(k), &split), answer);
      EXPECT_EQ(answer.DataType, TagString);
      parts.push_back(answer.SData.str());
    }
    return parts;
  }

  TVNMultiStrPart split;
  test::Recorder rest;
  test::Recorder notFound;
};

// Every case starts from filled parts: a split empties those it does not reach.
TEST_F(MultiStrPartTest, SplitsAsTheRulesSay) {
  struct Case {
    std::string chars;
    std::int32_t skip, count;
    std::string text;
    Parts parts;
    std::string left;  // fired through onSplit, or the whole text through onNotFound
    bool found = true;
  };
  const Case cases[] = {
      {" ", 0, 3, "one two three four", {"one", "two", "three"}, "four"},
      {" ", 0, 3, "one two", {"one", "two", ""}, ""},
      {" ", 0, 3, "one  two", {"one", "", "two"}, ""},
      {" ", 1, 3, "1 2 3 4 5", {"2", "3", "4"}, "5"},
      {", ", 0, 3, "x z, y", {"x", "", "y"}, ""},  // any byte of Char cuts, its length is skipped
      {" ", 0, 3, "a\0b c"s, {"a\0b c"s, "", ""}, ""},  // the search ends at the first zero byte
      {"\0"s, 0, 2, "a\0b\0c"s, {"a", "b"}, "c"},
      {" ", 0, 0, "a b", {}, "a b"},
      {" ", -4, 1, "a b", {"a"}, "b"},
      {" ", std::numeric_limits<std::int32_t>::max(), 3, "a b", {"", "", ""}, ""},
      // Without the whole Char string in the text nothing is cut.
      {", ", 0, 3, "x,y z", {"", "", ""}, "x,y z", false},
      {"", 0, 3, "a b", {"", "", ""}, "a b", false},
      {" ", 0, 3, "", {"", "", ""}, "", false},
  };
  for (const Case& c : cases) {
    split.SetCount(c.count);
    split.Char = " ";
    split.Skip = 0;
    Split("p p p p");
    split.Char = RcString(c.chars);
    split.Skip = c.skip;
    EXPECT_EQ(Split(c.text), c.parts) << c.text;
    const test::Recorder& fired = c.found ? rest : notFound;
    EXPECT_EQ(rest.Count() + notFound.Count(), 1u) << c.text;
    ASSERT_EQ(fired.Count(), 1u) << c.text;
    EXPECT_EQ(fired.Last().SData, c.left) << c.text;
  }
}

TEST_F(MultiStrPartTest, IndexBeyondCountAnswersEmpty) {
  split.Char = " ";
  split.SetCount(1);
  EXPECT_EQ(Split("a b"), Parts{"a"});
  for (std::uint16_t index : {1, 65535}) {
    TData asked = test::Int(5);
    ReadPoint(MakePoint<&TVNMultiStrPart::Part>(index, &split), asked);
    EXPECT_EQ(asked.DataType, TagString);
    EXPECT_EQ(asked.SData, "");
  }
}

}  // namespace
}  // namespace vn
