#include "components/data/convertor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;
using test::Recorder;

class ConvertorTest : public test::LiveDispatchTest {
 protected:
  // Converts `value` arriving with the event; answers the text fired.
  std::string Convert(std::int32_t value) {
    result.hits.clear();
    TData data = test::Int(value);
    FireEvent(MakePoint<&TVNConvertor::doConvert>(0, &convertor), data);
    EXPECT_EQ(result.Count(), 1u);
    if (result.hits.empty()) return "<none>";
    EXPECT_EQ(result.Last().DataType, TagString);
    return result.Last().SData.str();
  }

  void SetUp() override {
    LiveDispatchTest::SetUp();
    convertor.onResult = result.Link();
  }

  TVNConvertor convertor;
  Recorder result;
};

TEST_F(ConvertorTest, CharModeKeepsLowEightBits) {
  convertor.Mode = TVNConvertor::ModeChar;
  EXPECT_EQ(Convert(65), "A");
  EXPECT_EQ(Convert(321), "A");
  EXPECT_EQ(Convert(0), "\0"s);
  EXPECT_EQ(Convert(-1), "\xFF");
  EXPECT_EQ(Convert(0xC6), "\xC6");
}

TEST_F(ConvertorTest, HexModeTable) {
  struct Case {
    std::int32_t digits;
    std::int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {1, 10, "A"},           {1, 255, "FF"},   {1, 0, "0"},
      {1, -1, "FFFFFFFF"},    {4, 10, "000A"},  {0, 0, "0"},
      {17, 10, "A"},          {8, 1, "00000001"},
      {1, std::numeric_limits<std::int32_t>::min(), "80000000"},
  };
  convertor.Mode = TVNConvertor::ModeHex;
  for (const Case& c : cases) {
    convertor.Digits = c.digits;
    EXPECT_EQ(Convert(c.value), c.text) << c.digits << " " << c.value;
  }
}

TEST_F(ConvertorTest, ConnectedDataPointWins) {
  convertor.Mode = TVNConvertor::ModeHex;
  convertor.Digits = 2;
  test::Answer answer{test::Str("200")};
  convertor.Data = answer.Link();
  EXPECT_EQ(Convert(5), "C8");
}

TEST_F(ConvertorTest, OtherModesFireNothingAndLeaveTheValue) {
  for (std::int32_t mode : {0, 5, 7, -4}) {
    convertor.Mode = mode;
    TData data = test::Int(65);
    FireEvent(MakePoint<&TVNConvertor::doConvert>(0, &convertor), data);
    EXPECT_EQ(result.Count(), 0u) << mode;
    EXPECT_EQ(data.DataType, TagInteger);
    EXPECT_EQ(data.IData, 65);
  }
}

}  // namespace
}  // namespace vn
