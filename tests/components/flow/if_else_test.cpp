#include "components/flow/if_else.h"

#include <string_view>

#include "components/flow/compare_data.h"
#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

class IfElseTest : public LiveDispatchTest {
 protected:
  IfElseTest() {
    cmp.onTrue = onTrue.Link();
    cmp.onFalse = onFalse.Link();
  }
  void Compare(std::vector<TData> chain) {
    FireEvent(MakePoint<&TVNIf_else::doCompare>(0, &cmp), LinkChain(chain));
  }

  TVNIf_else cmp;
  Journal journal;
  ChainLog onTrue{&journal, "true"}, onFalse{&journal, "false"};
};

// The outputs carry the incoming chain whole, not the operands, deferred.
TEST_F(IfElseTest, UnsetOperandsComeFromTheChainInOrder) {
  cmp.Compare = static_cast<std::uint8_t>(CompareCode::Less);
  Compare({Int(3), Int(8)});  // 3 < 8: Op1 took the first value
  Compare({Int(8), Int(3)});
  EXPECT_EQ(journal, (Journal{"true=I:3 I:8", "false=I:8 I:3"}));
  TData value = Int(4);
  cmp.doCompare(value, 0);
  EXPECT_EQ(DeferredTo(cmp.onFalse, value), "I:4");  // 4 < nothing (0) fails
}

TEST_F(IfElseTest, PropertyOperandLeavesTheIncomingValueToTheOther) {
  cmp.Op2 = Int(3);  // a time-out check: Op2 fixed, Op1 is what arrives
  Compare({Int(2)});
  Compare({Int(3)});
  Compare({Str("3")});
  EXPECT_EQ(journal, (Journal{"false=I:2", "true=I:3", "true=S:3"}));
}

TData Tagged(std::uint8_t tag, double real = 0) {
  TData data;
  data.DataType = tag;
  data.RData = real;
  return data;
}

TData Bytes(std::string_view bytes) { return StringData(RcString(bytes)); }

struct CompareCase {
  const char* name;
  TData a, b;
  const char* holds;  // 1 where codes 0 (=), 1 (<), 2 (>), 3 (<=), 4 (>=), 5 (<>) hold
};

TEST(CompareDataTest, EveryCodeForEveryKindOfFirstOperand) {
  const std::vector<CompareCase> cases = {
      // B takes the kind of A: Integer 10 against the number 9.
      {"Integer 10 vs text 9", Int(10), Str("9"), "001011"},
      // ...but text 10 against the text 9, ordered by bytes.
      {"text 10 vs Integer 9", Str("10"), Int(9), "010101"},
      {"Integer 0 vs NULL", Int(0), TData{}, "100110"},
      {"Integer vs unparsable text", Int(0), Str("x1"), "100110"},
      {"abc vs ABC", Str("abc"), Str("ABC"), "000111"},
      {"a vs ab", Str("a"), Str("ab"), "010101"},
      // Letters fold to capitals, so "[" sorts after every letter.
      {"[ vs a", Str("["), Str("a"), "001011"},
      {"text 05 vs Integer 5", Str("05"), Int(5), "010101"},
      {"empty text vs NULL", Str(""), TData{}, "100110"},
      // Cyrillic capital A (0xC0) and small a (0xE0) are not folded.
      {"Cyrillic case", Bytes("\xC0"), Bytes("\xE0"), "010101"},
      {"high byte above ASCII", Bytes("\xC0"), Str("z"), "001011"},
      // Equality sees every byte; ordering stops at the first zero byte.
      {"embedded zero", Bytes({"a\0b", 3}), Bytes({"a\0c", 3}), "000111"},
      {"Real 2.5 vs text 2.5", Tagged(TagReal, 2.5), Str("2.5"), "100110"},
      {"Real vs Integer", Tagged(TagReal, 1.5), Int(2), "010101"},
      {"NULL vs NULL", TData{}, TData{}, "111111"},
      {"NULL vs Integer 0", TData{}, Int(0), "000000"},
      {"Stream", Tagged(TagStream), Tagged(TagStream), "000000"},
      {"Integer still flagged deferred", Tagged(TagInteger | DeferredFlag), Int(0), "000000"},
  };
  for (const CompareCase& c : cases) {
    // Codes above 5 hold for nothing but NULL against NULL.
    const bool bothNull = c.a.DataType == TagNull && c.b.DataType == TagNull;
    for (int code : {0, 1, 2, 3, 4, 5, 6, 100, 255}) {
      const bool expected = code < 6 ? c.holds[code] == '1' : bothNull;
      EXPECT_EQ(CompareData(c.a, c.b, static_cast<std::uint8_t>(code)), expected)
          << c.name << ", code " << code;
    }
  }
}

}  // namespace
}  // namespace vn::test
