#include "components/data/multi_str_part.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::literals;
using test::Recorder;

TEST(NextPart, FindsAnyDelimiterByteButSkipsAsManyBytesAsCharHolds) {
  std::string_view rest = "x z, y";
  EXPECT_EQ(NextPart(rest, ", "), "x");
  EXPECT_EQ(rest, ", y");  // the blank and z were skipped
  EXPECT_EQ(NextPart(rest, ", "), "");
  EXPECT_EQ(rest, "y");
  EXPECT_EQ(NextPart(rest, ", "), "y");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(NextPart(rest, ", "), "");
  EXPECT_EQ(rest, "");
}

TEST(NextPart, SearchEndsAtFirstZeroByte) {
  std::string_view rest("a\0b c"sv);
  EXPECT_EQ(NextPart(rest, " "), "a\0b c"sv);
  EXPECT_EQ(rest, "");

  rest = "a\0b\0c"sv;  // a zero among the delimiters splits at each zero
  EXPECT_EQ(NextPart(rest, "\0"sv), "a");
  EXPECT_EQ(NextPart(rest, "\0"sv), "b");
  EXPECT_EQ(NextPart(rest, "\0"sv), "c");
  EXPECT_EQ(rest, "");

  rest = "\xFF\x80\xFFz";  // bytes above 0x7F are delimiters like any other
  EXPECT_EQ(NextPart(rest, "\xFF"), "");
  EXPECT_EQ(NextPart(rest, "\xFF"), "\x80");
  EXPECT_EQ(rest, "z");
}

class MultiStrPartTest : public test::LiveDispatchTest {
 protected:
  void SetUp() override {
    LiveDispatchTest::SetUp();
    split.onSplit = rest.Link();
    split.onNotFound = notFound.Link();
  }

  void Split(const std::string& text) {
    rest.hits.clear();
    notFound.hits.clear();
    TData value = StringData(RcString(text));
    FireEvent(MakePoint<&TVNMultiStrPart::doSplit>(0, &split), value);
  }

  // The parts as the var point answers them.
  std::vector<std::string> AskedParts() {
    std::vector<std::string> parts;
    for (std::int32_t k = 0; k < split.Count(); ++k) {
      TData answer;
      ReadPoint(MakePoint<&TVNMultiStrPart::Part>(static_cast<std::uint16_t>(k), &split), answer);
      EXPECT_EQ(answer.DataType, TagString);
      parts.push_back(answer.SData.str());
    }
    return parts;
  }

  TVNMultiStrPart split;
  Recorder rest;
  Recorder notFound;
};

TEST_F(MultiStrPartTest, SplitsAsTheRulesSay) {
  struct Case {
    std::string chars;
    std::int32_t skip;
    std::int32_t count;
    std::string text;
    std::vector<std::string> parts;
    std::string left;
  };
  const Case cases[] = {
      {" ", 0, 3, "one two three four", {"one", "two", "three"}, "four"},
      {" ", 0, 3, "one two", {"one", "two", ""}, ""},
      {" ", 0, 3, "one  two", {"one", "", "two"}, ""},
      {" ", 1, 3, "1 2 3 4 5", {"2", "3", "4"}, "5"},
      {" ", 0, 2, "a b c d", {"a", "b"}, "c d"},
      {", ", 0, 3, "x, y", {"x", "y", ""}, ""},
      {", ", 0, 3, "x z, y", {"x", "", "y"}, ""},
      {" ", 0, 3, "a\0b c"s, {"a\0b c"s, "", ""}, ""},
      {" ", 0, 0, "a b", {}, "a b"},
      {" ", -4, 1, "a b", {"a"}, "b"},
      {" ", std::numeric_limits<std::int32_t>::max(), 3, "a b", {"", "", ""}, ""},
  };
  for (const Case& c : cases) {
    split.Char = RcString(c.chars);
    split.Skip = c.skip;
    split.SetCount(c.count);
    Split(c.text);
    EXPECT_EQ(AskedParts(), c.parts) << c.text;
    ASSERT_EQ(rest.Count(), 1u) << c.text;
    EXPECT_EQ(rest.Last().SData, c.left) << c.text;
    EXPECT_EQ(notFound.Count(), 0u) << c.text;
  }
}

TEST_F(MultiStrPartTest, WithoutTheWholeCharStringNothingIsCutAndPartsAreEmptied) {
  split.SetCount(3);
  struct Case {
    std::string chars;
    std::string text;
  };
  const Case cases[] = {{" ", "onetwo"}, {", ", "x,y z"}, {"", "a b"}, {" ", ""}};
  for (const Case& c : cases) {
    split.Char = " ";
    Split("left over parts");
    ASSERT_EQ(AskedParts(), (std::vector<std::string>{"left", "over", "parts"}));

    split.Char = RcString(c.chars);
    Split(c.text);
    ASSERT_EQ(notFound.Count(), 1u) << c.text;
    EXPECT_EQ(notFound.Last().SData, c.text);
    EXPECT_EQ(rest.Count(), 0u);
    EXPECT_EQ(AskedParts(), (std::vector<std::string>{"", "", ""})) << c.text;
  }
}

TEST_F(MultiStrPartTest, HugeCountStopsCuttingOnceTheTextIsUsedUp) {
  split.Char = " ";
  split.SetCount(200000);
  Split("a b");
  EXPECT_EQ(split.Parts[0], "a");
  EXPECT_EQ(split.Parts[1], "b");
  EXPECT_EQ(split.Parts[199999], "");
  ASSERT_EQ(rest.Count(), 1u);
  EXPECT_EQ(rest.Last().SData, "");

  split.SetCount(-1);
  EXPECT_EQ(split.Count(), 0);
}

TEST_F(MultiStrPartTest, IndexBeyondCountAnswersEmptyString) {
  split.Char = " ";
  split.SetCount(2);
  Split("a b c");
  TData answer = test::Int(5);
  ReadPoint(MakePoint<&TVNMultiStrPart::Part>(2, &split), answer);
  EXPECT_EQ(answer.DataType, TagString);
  EXPECT_EQ(answer.SData, "");
  ReadPoint(MakePoint<&TVNMultiStrPart::Part>(65535, &split), answer);
  EXPECT_EQ(answer.SData, "");
}

TEST_F(MultiStrPartTest, ConnectedStrPointIsCut) {
  split.Char = " ";
  split.SetCount(1);
  test::Answer answer{test::Str("from point")};
  split.Str = answer.Link();
  Split("incoming value");
  EXPECT_EQ(AskedParts(), (std::vector<std::string>{"from"}));
  ASSERT_EQ(rest.Count(), 1u);
  EXPECT_EQ(rest.Last().SData, "point");
}

}  // namespace
}  // namespace vn
