#include "components/data/convertor.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;

class ConvertorTest : public test::LiveDispatchTest {};

TEST_F(ConvertorTest, CharAndHexModesOtherModesFireNothing) {
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
