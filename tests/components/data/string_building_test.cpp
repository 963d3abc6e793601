#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "components/data/convertor.h"
#include "components/data/format_str.h"
#include "components/data/str_cat.h"
#include "components/data/stream2hex.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;

class StringBuildingTest : public test::LiveDispatchTest {};

TData StrBytes(const std::string& bytes) { return StringData(RcString(bytes)); }

// Fills `mask` from connected points answering `values`; answers the text.
std::string Format(const std::string& mask, const std::vector<std::string>& values) {
  TVNFormatStr format;
  format.SetDataCount(static_cast<std::uint8_t>(values.size()));
  format.Mask = mask;
  std::vector<test::Answer> answers(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    answers[i].value = StrBytes(values[i]);
    format.Str[i] = answers[i].Link();
  }
  TData value;
  format.doString(value, 0);
  EXPECT_EQ(value.DataType, TagString | DeferredFlag);
  EXPECT_EQ(value.DeferredPoint, &format.onFString);
  EXPECT_EQ(format.Result(), value.SData.view());
  return value.SData.str();
}

TEST_F(StringBuildingTest, Stream2HexConvertsEveryByte) {
  TVNStream2Hex hex;
  test::Recorder out;
  hex.onResult = out.Link();
  FireString(MakePoint<&TVNStream2Hex::doConvert>(0, &hex), RcString("\0\x1F\xA0\xFF\x80\x7F\0"s));
  FireString(MakePoint<&TVNStream2Hex::doConvert>(0, &hex), "");
  FireNull(MakePoint<&TVNStream2Hex::doConvert>(0, &hex));
  ASSERT_EQ(out.Count(), 3u);
  EXPECT_EQ(out.hits[0].value.SData, "001FA0FF807F00");
  EXPECT_EQ(out.hits[1].value.SData, "");
  EXPECT_EQ(out.hits[2].value.DataType, TagString);
  EXPECT_EQ(out.hits[2].value.SData, "");
}

// Left before right, each from its point, else its property, else the chain.
TEST_F(StringBuildingTest, StrCatSources) {
  TVNStrCat cat;
  TData right = StrBytes("R\0r"s);
  TData value = StrBytes("L\0"s);
  value.Next = &right;
  cat.doStrCat(value, 0);
  EXPECT_EQ(value.SData, "L\0R\0r"s);
  EXPECT_EQ(value.DeferredPoint, &cat.onStrCat);
  cat.Str2 = "465A";
  value = test::Str("0102");
  cat.doStrCat(value, 0);
  EXPECT_EQ(cat.Result(), "0102465A");
  TData none;
  cat.doStrCat(none, 0);
  EXPECT_EQ(cat.Result(), "465A");

  test::Answer left{test::Str("a")};
  test::Answer answersNull{TData{}};  // still wins, as empty text
  cat.Str1 = "p1";
  cat.Str1Point = left.Link();
  cat.Str2Point = answersNull.Link();
  cat.doStrCat(value, 0);
  EXPECT_EQ(cat.Result(), "a");
  answersNull.value = test::Break();  // a point that answers Break falls back to its property
  cat.doStrCat(value, 0);
  EXPECT_EQ(cat.Result(), "a465A");
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
      {"device line", "Устройство: %1   Текущая версия ПО: %2", {"X1", "2.1"},
       "Устройство: X1   Текущая версия ПО: 2.1"},
      {"per cent pair is literal", "%%1", {"v"}, "%1"},
      {"pair then placeholder", "%%%1", {"v"}, "%v"},
      {"lone per cent stays", "100% %1", {"v"}, "100% v"},
      {"%1 is not the start of %12", "%12 %1 %10", twelve, "v12 v1 v10"},
      {"later passes scan earlier values", "%1", {"%2", "X"}, "X"},
      {"a pass does not rescan its own value", "%1%1", {"%1"}, "%1%1"},
      {"placeholder above N stays", "%3 %1 %2", {"a", "b"}, "%3 a b"},
      {"value starting with a digit", "%2%1", {"0", "Z"}, "Z0"},
      {"byte 1 dropped, byte 0 becomes %", "%1", {"a\1b\0c"s}, "ab%c"},
      {"mask bytes 0 and 1 too", "\1%1\0"s, {"v"}, "v%"},
      {"empty mask", "", {"a"}, ""},
      {"no placeholders, N = 0", "plain", {}, "plain"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.mask, c.values), c.expected) << c.name;
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

// The text grows up to the limit, inclusive. %1 -> %2...%2 -> %3...%3...%3...%3:
// every pass doubles the text, which would reach 2^29 kilobytes after 30 passes.
TEST_F(StringBuildingTest, FormatStrStopsGrowingAtTheLimit) {
  EXPECT_EQ(Format("%1", {std::string(kFormatStrLimit - 1, 'x')}).size(), kFormatStrLimit - 1);  // + marker
  EXPECT_EQ(Format("%1", {std::string(kFormatStrLimit, 'x')}), "%1");  // one byte too many
  std::vector<std::string> values;
  for (int i = 2; i <= 30; ++i) {
    const std::string next = "%" + std::to_string(i);
    values.push_back(next + std::string(1000, '.') + next);
  }
  values.push_back("x");
  const std::string text = Format("%1", values);
  EXPECT_LE(text.size(), kFormatStrLimit);
  EXPECT_GT(text.size(), kFormatStrLimit / 2);  // it did grow as far as it could
  EXPECT_EQ(text.find('x'), std::string::npos);
  EXPECT_EQ(text.substr(0, 1), "%");  // unfilled placeholders stay as written
}

TEST_F(StringBuildingTest, ConvertorCharAndHexModesOtherModesFireNothing) {
  constexpr std::int32_t kChar = TVNConvertor::ModeChar;
  constexpr std::int32_t kHex = TVNConvertor::ModeHex;
  struct Case {
    std::int32_t mode, digits, value;
    std::string text;  // empty: nothing fired and the value left alone
    const char* point = nullptr;  // what a connected Data point answers
  };
  const Case cases[] = {
      {kChar, 0, 65, "A"},      {kChar, 0, 321, "A"},     {kChar, 0, 0, "\0"s},     {kChar, 0, -1, "\xFF"},
      {kChar, 0, 0xC6, "\xC6"}, {kHex, 1, 10, "A"},       {kHex, 1, 255, "FF"},     {kHex, 1, 0, "0"},
      {kHex, 1, -1, "FFFFFFFF"}, {kHex, 4, 10, "000A"},   {kHex, 0, 0, "0"},        {kHex, 17, 10, "A"},
      {kHex, 8, 1, "00000001"}, {kHex, 1, std::numeric_limits<std::int32_t>::min(), "80000000"},
      {kHex, 2, 5, "C8", "200"},  // the point wins over the incoming value
      {0, 0, 65, ""},           {5, 0, 65, ""},           {7, 0, 65, ""},           {-4, 0, 65, ""},
  };
  for (const Case& c : cases) {
    TVNConvertor convertor;
    test::Recorder result;
    convertor.onResult = result.Link();
    test::Answer answer{test::Str(c.point != nullptr ? c.point : "")};
    if (c.point != nullptr) convertor.Data = answer.Link();
    convertor.Mode = c.mode;
    convertor.Digits = c.digits;
    TData data = test::Int(c.value);
    FireEvent(MakePoint<&TVNConvertor::doConvert>(0, &convertor), data);
    if (c.text.empty()) {
      EXPECT_EQ(result.Count(), 0u) << c.mode;
      EXPECT_EQ(data.DataType, TagInteger);
      EXPECT_EQ(data.IData, c.value);
      continue;
    }
    ASSERT_EQ(result.Count(), 1u) << c.mode << " " << c.value;
    EXPECT_EQ(result.Last().DataType, TagString);
    EXPECT_EQ(result.Last().SData, c.text) << c.mode << " " << c.digits << " " << c.value;
  }
}

}  // namespace
}  // namespace vn
