#include "components/flow/compare_data.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/support/test_points.h"

namespace vn {
namespace {

TData Real(double value) {
  TData data;
  data.DataType = TagReal;
  data.RData = value;
  return data;
}

TData Tagged(std::uint8_t tag) {
  TData data;
  data.DataType = tag;
  return data;
}

TData Bytes(std::string_view bytes) { return StringData(RcString(bytes)); }

struct CompareCase {
  const char* name;
  TData a;
  TData b;
  // Expected result for codes 0 (=), 1 (<), 2 (>), 3 (<=), 4 (>=), 5 (<>).
  std::array<bool, 6> holds;
};

TEST(CompareDataTest, EveryCodeForEveryKindOfFirstOperand) {
  using test::Int;
  using test::Str;
  const std::vector<CompareCase> cases = {
      // B takes the kind of A: Integer 10 against the number 9.
      {"Integer 10 vs text 9", Int(10), Str("9"), {false, false, true, false, true, true}},
      // ...but text 10 against the text 9, ordered by bytes.
      {"text 10 vs Integer 9", Str("10"), Int(9), {false, true, false, true, false, true}},
      {"Integer -3 vs -3", Int(-3), Int(-3), {true, false, false, true, true, false}},
      {"Integer min vs max", Int(INT32_MIN), Int(INT32_MAX), {false, true, false, true, false, true}},
      {"Integer 0 vs NULL", Int(0), TData{}, {true, false, false, true, true, false}},
      {"Integer vs unparsable text", Int(0), Str("x1"), {true, false, false, true, true, false}},
      {"abc vs ABC", Str("abc"), Str("ABC"), {false, false, false, true, true, true}},
      {"abc vs ABD", Str("abc"), Str("ABD"), {false, true, false, true, false, true}},
      {"a vs ab", Str("a"), Str("ab"), {false, true, false, true, false, true}},
      {"equal texts", Str("VERS"), Str("VERS"), {true, false, false, true, true, false}},
      {"text 5 vs Integer 5", Str("5"), Int(5), {true, false, false, true, true, false}},
      {"text 05 vs Integer 5", Str("05"), Int(5), {false, true, false, true, false, true}},
      {"empty text vs NULL", Str(""), TData{}, {true, false, false, true, true, false}},
      // Cyrillic capital A (0xC0) and small a (0xE0) are not folded.
      {"Cyrillic case", Bytes("\xC0"), Bytes("\xE0"), {false, true, false, true, false, true}},
      {"high byte above ASCII", Bytes("\xC0"), Str("z"), {false, false, true, false, true, true}},
      // Equality sees every byte; ordering stops at the first zero byte.
      {"embedded zero", Bytes({"a\0b", 3}), Bytes({"a\0c", 3}), {false, false, false, true, true, true}},
      {"Real 2.5 vs text 2.5", Real(2.5), Str("2.5"), {true, false, false, true, true, false}},
      {"Real vs Integer", Real(1.5), Int(2), {false, true, false, true, false, true}},
      {"NULL vs NULL", TData{}, TData{}, {true, true, true, true, true, true}},
      {"NULL vs Integer 0", TData{}, Int(0), {false, false, false, false, false, false}},
      {"NULL vs empty text", TData{}, Str(""), {false, false, false, false, false, false}},
      {"Stream", Tagged(TagStream), Tagged(TagStream), {false, false, false, false, false, false}},
      {"Break", Tagged(TagBreak), TData{}, {false, false, false, false, false, false}},
      {"Integer still flagged deferred", Tagged(TagInteger | DeferredFlag), Int(0),
       {false, false, false, false, false, false}},
  };
  for (const CompareCase& c : cases) {
    for (std::uint8_t code = 0; code < 6; ++code) {
      EXPECT_EQ(CompareData(c.a, c.b, code), c.holds[code]) << c.name << ", code " << int{code};
    }
  }
}

TEST(CompareDataTest, CodesAboveFiveAreFalseExceptForNull) {
  for (std::uint8_t code : {6, 7, 100, 255}) {
    EXPECT_FALSE(CompareData(test::Int(1), test::Int(1), code));
    EXPECT_FALSE(CompareData(test::Str("a"), test::Str("a"), code));
    EXPECT_FALSE(CompareData(Real(1.0), Real(1.0), code));
    EXPECT_TRUE(CompareData(TData{}, TData{}, code));  // NULL ignores the code
  }
}

}  // namespace
}  // namespace vn
