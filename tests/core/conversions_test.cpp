#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/conversions.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Int;
using test::Str;

TEST(TextToInteger, Table) {
  struct Case {
    std::string text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"", 0},          {"-", 0},           {"+", 0},         {"abc", 0},
      {" 12", 0},       {"-12a", -12},      {"0042", 42},     {"+7", 7},
      {"12 34", 12},    {"--1", 0},         {"2147483647", 2147483647},
      {"2147483648", -2147483647 - 1},      {"4294967296", 0},  // wraps modulo 2^32
      {"-2147483648", -2147483647 - 1},     {std::string("9\0" "9", 3), 9},
      {"99999999999", 1215752191},          {std::string(100000, '9'), -1},  // 10^100000 is 0 modulo 2^32
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(RoundReal, HalvesToEvenAndSaturates) {
  EXPECT_EQ(RoundReal(2.5), 2);
  EXPECT_EQ(RoundReal(3.5), 4);
  EXPECT_EQ(RoundReal(-2.5), -2);
  EXPECT_EQ(RoundReal(1e12), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundReal(-1e12), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundReal(std::nan("")), 0);
}

// Every reader of a value, by kind. Kinds without behaviour (a "Font", or a
// value still flagged deferred) convert like nothing at all.
TEST(Conversions, ByKind) {
  TData real;
  real.DataType = TagReal;
  real.RData = 2.5;
  TData other;
  other.DataType = 15;
  other.IData = 99;
  TData flagged = Int(12);
  flagged.DataType |= DeferredFlag;
  struct Case {
    TData value;
    std::int32_t integer;
    const char* text;
    double number;
    std::int32_t index;
    bool truth;
  };
  const Case cases[] = {
      {Int(-3), -3, "-3", -3.0, -3, true},  {Int(0), 0, "0", 0.0, 0, false},
      {real, 2, "2.5", 2.5, 2, true},       {Str("1.25"), 1, "1.25", 1.25, 1, true},
      {Str("0"), 0, "0", 0.0, 0, true},     {Str("12"), 12, "12", 12.0, 12, true},
      {Str("a"), 0, "a", 0.0, -1, true},    {Str(""), 0, "", 0.0, -1, true},
      {Str("-0"), 0, "-0", 0.0, -1, true},  {TData{}, 0, "", 0.0, -1, true},
      {other, 0, "", 0.0, -1, true},        {flagged, 0, "", 0.0, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToString(c.value).str() + " of kind " + std::to_string(c.value.DataType));
    EXPECT_EQ(ToInteger(c.value), c.integer);
    EXPECT_EQ(ToString(c.value), c.text);
    EXPECT_DOUBLE_EQ(ToReal(c.value), c.number);
    EXPECT_EQ(ToIndex(c.value), c.index);
    EXPECT_EQ(ToBool(c.value), c.truth);
  }
  EXPECT_FALSE(IsInteger(flagged));
}

TEST(Conversions, StreamValueCarriesFullPointer) {
  // A fake address above 4 GiB: only the side field can hold it.
  auto* stream = reinterpret_cast<TMemStream*>(std::uintptr_t{0x7ffd12345678});
  TData d;
  dtStream(d, stream);
  EXPECT_EQ(ToStream(d), stream);
  d.DataType = TagInteger;
  EXPECT_EQ(ToStream(d), nullptr);
}

}  // namespace
}  // namespace vn
