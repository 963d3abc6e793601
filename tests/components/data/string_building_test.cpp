#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/format_str.h"
#include "components/data/str_cat.h"
#include "components/data/stream2hex.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Recorder;

class StringBuildingTest : public test::LiveDispatchTest {};

TData StrBytes(const std::string& bytes) { return StringData(RcString(bytes)); }

// ---- TVNStream2Hex ----

TEST_F(StringBuildingTest, Stream2HexConvertsEveryByte) {
  TVNStream2Hex hex;
  Recorder out;
  hex.onResult = out.Link();
  const auto doConvert = MakePoint<&TVNStream2Hex::doConvert>(3, &hex);
  FireString(doConvert, RcString(std::string("\x00\x1F\xA0", 3)));
  FireString(doConvert, RcString(std::string("\xFF\x80\x7F\x00", 4)));
  FireString(doConvert, "");
  FireNull(doConvert);
  ASSERT_EQ(out.Count(), 4u);
  EXPECT_EQ(out.hits[0].value.SData, "001FA0");
  EXPECT_EQ(out.hits[1].value.SData, "FF807F00");
  EXPECT_EQ(out.hits[2].value.SData, "");
  EXPECT_EQ(out.hits[3].value.SData, "");
  EXPECT_EQ(out.hits[3].value.DataType, TagString);
}

TEST_F(StringBuildingTest, Stream2HexPrefersConnectedData) {
  TVNStream2Hex hex;
  test::Answer bytes{test::Str("AZ")};
  hex.Data = bytes.Link();
  TData value = test::Str("ignored");
  hex.doConvert(value, 0);
  EXPECT_EQ(value.DataType, TagString | DeferredFlag);
  EXPECT_EQ(value.DeferredPoint, &hex.onResult);
  EXPECT_EQ(value.SData, "415A");
}

// ---- TVNStrCat ----

TEST_F(StringBuildingTest, StrCatWithUploadProperties) {
  TVNStrCat cat;
  cat.Str2 = "465A";
  Recorder out;
  cat.onStrCat = out.Link();
  const auto doStrCat = MakePoint<&TVNStrCat::doStrCat>(1, &cat);
  FireString(doStrCat, "0102");
  ASSERT_EQ(out.Count(), 1u);
  EXPECT_EQ(out.Last().SData, "0102465A");
  EXPECT_EQ(cat.Result(), "0102465A");
  FireNull(doStrCat);
  EXPECT_EQ(out.Last().SData, "465A");
  EXPECT_EQ(cat.Result(), "465A");
}

TEST_F(StringBuildingTest, StrCatReadsLeftThenRightFromChain) {
  TVNStrCat cat;
  TData right = StrBytes(std::string("R\0r", 3));
  TData value = StrBytes(std::string("L\0", 2));
  value.Next = &right;
  cat.doStrCat(value, 0);
  EXPECT_EQ(value.SData, std::string("L\0R\0r", 5));
  EXPECT_EQ(value.DeferredPoint, &cat.onStrCat);
}

TEST_F(StringBuildingTest, StrCatConnectedPointsWin) {
  TVNStrCat cat;
  cat.Str1 = "p1";
  cat.Str2 = "p2";
  test::Answer left{test::Str("a")};
  test::Answer right{TData{}};  // answers NULL: still wins, as empty text
  cat.Str1Point = left.Link();
  cat.Str2Point = right.Link();
  TData value = test::Str("in");
  cat.doStrCat(value, 0);
  EXPECT_EQ(value.SData, "a");
  // A point that answers Break falls back to its property.
  right.value = test::Break();
  cat.doStrCat(value, 0);
  EXPECT_EQ(cat.Result(), "ap2");
}

// ---- TVNFormatStr ----

TEST_F(StringBuildingTest, FormatStrDeviceLine) {
  TVNFormatStr format;
  format.SetDataCount(2);
  EXPECT_EQ(format.DataCount(), 2);
  format.Mask = "Устройство: %1   Текущая версия ПО: %2";
  test::Answer name{test::Str("X1")};
  test::Answer version{test::Str("2.1")};
  format.Str[0] = name.Link();
  format.Str[1] = version.Link();
  Recorder out;
  format.onFString = out.Link();
  FireNull(MakePoint<&TVNFormatStr::doString>(9, &format));
  ASSERT_EQ(out.Count(), 1u);
  EXPECT_EQ(out.Last().SData, "Устройство: X1   Текущая версия ПО: 2.1");
  EXPECT_EQ(format.Result(), out.Last().SData.view());
  EXPECT_EQ(format.Pattern(), "%2");
}

TEST_F(StringBuildingTest, FormatStrPlaceholderRules) {
  struct Case {
    const char* name;
    std::string mask;
    std::vector<std::string> values;  // values[0] fills %1
    std::string expected;
  };
  std::vector<std::string> twelve;
  for (int i = 1; i <= 12; ++i) twelve.push_back("v" + std::to_string(i));
  const Case cases[] = {
      {"per cent pair is literal", "%%1", {"v"}, "%1"},
      {"pair then placeholder", "%%%1", {"v"}, "%v"},
      {"lone per cent stays", "100% %1", {"v"}, "100% v"},
      {"%1 is not the start of %12", "%12 %1 %10", twelve, "v12 v1 v10"},
      {"later passes scan earlier values", "%1", {"%2", "X"}, "X"},
      {"a pass does not rescan its own value", "%1%1", {"%1"}, "%1%1"},
      {"placeholder above N stays", "%3 %1 %2", {"a", "b"}, "%3 a b"},
      {"value starting with a digit", "%2%1", {"0", "Z"}, "Z0"},
      {"byte 1 dropped, byte 0 becomes %", "%1", {std::string("a\1b\0c", 5)}, "ab%c"},
      {"mask bytes 0 and 1 too", std::string("\1%1\0", 4), {"v"}, "v%"},
      {"empty mask", "", {"a"}, ""},
      {"no placeholders, N = 0", "plain", {}, "plain"},
      {"empty value", "[%1]", {""}, "[]"},
  };
  for (const Case& c : cases) {
    TVNFormatStr format;
    format.SetDataCount(static_cast<std::uint8_t>(c.values.size()));
    format.Mask = c.mask;
    std::vector<test::Answer> answers(c.values.size());
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      answers[i].value = StrBytes(c.values[i]);
      format.Str[i] = answers[i].Link();
    }
    TData value;
    format.doString(value, 0);
    EXPECT_EQ(value.DataType, TagString | DeferredFlag) << c.name;
    EXPECT_EQ(value.DeferredPoint, &format.onFString) << c.name;
    EXPECT_EQ(value.SData, c.expected) << c.name;
  }
}

// Every point is read in order even when its placeholder is absent, so an
// unconnected %1 consumes the first chained value although the mask lacks it.
TEST_F(StringBuildingTest, FormatStrReadsPointsInPlaceholderOrder) {
  TVNFormatStr format;
  format.SetDataCount(3);
  format.Mask = "<%2|%3>";
  TData second = test::Str("b");
  TData value = test::Str("a");
  value.Next = &second;
  format.doString(value, 0);
  EXPECT_EQ(value.SData, "<b|>");
  EXPECT_EQ(format.Pattern(), "%3");
}

TEST_F(StringBuildingTest, FormatStrGrowsUpToTheLimitInclusive) {
  TVNFormatStr format;
  format.SetDataCount(1);
  format.Mask = "%1";
  test::Answer fill{StrBytes(std::string(kFormatStrLimit - 1, 'x'))};  // + the marker = the limit
  format.Str[0] = fill.Link();
  TData value;
  format.doString(value, 0);
  EXPECT_EQ(value.SData.size(), kFormatStrLimit - 1);

  fill.value = StrBytes(std::string(kFormatStrLimit, 'x'));  // one byte too many
  format.doString(value, 0);
  EXPECT_EQ(value.SData, "%1");
}

// %1 -> %2...%2 -> %3...%3...%3...%3: every pass doubles the text, which
// would reach 2^29 kilobytes after 30 passes.
TEST_F(StringBuildingTest, FormatStrStopsDoublingAtTheLimit) {
  constexpr std::uint8_t kCount = 30;
  const std::string filler(1000, '.');
  TVNFormatStr format;
  format.SetDataCount(kCount);
  format.Mask = "%1";
  std::vector<test::Answer> answers(kCount);
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::string next = "%" + std::to_string(i + 2);
    answers[i].value = StrBytes(i + 1 < kCount ? next + filler + next : "x");
    format.Str[i] = answers[i].Link();
  }
  TData value;
  format.doString(value, 0);
  const std::string_view text = value.SData.view();
  EXPECT_LE(text.size(), kFormatStrLimit);
  EXPECT_GT(text.size(), kFormatStrLimit / 2);  // it did grow as far as it could
  EXPECT_EQ(text.find('x'), std::string_view::npos);
  EXPECT_EQ(text.substr(0, 1), "%");  // unfilled placeholders stay as written
}

}  // namespace
}  // namespace vn
