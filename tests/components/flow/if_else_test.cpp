#include "components/flow/if_else.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/flow/compare_data.h"
#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Journal = std::vector<std::string>;

class IfElseTest : public test::LiveDispatchTest {
 protected:
  IfElseTest() {
    cmp.onTrue = onTrue.Link();
    cmp.onFalse = onFalse.Link();
  }
  void Compare(TData value) { FireEvent(MakePoint<&TVNIf_else::doCompare>(0, &cmp), value); }

  TVNIf_else cmp;
  Journal journal;
  test::ChainLog onTrue{&journal, "true"};
  test::ChainLog onFalse{&journal, "false"};
};

TEST_F(IfElseTest, OperandsFromTheChainInOrderAndTheOutputCarriesItWhole) {
  cmp.Compare = static_cast<std::uint8_t>(CompareCode::Less);
  std::vector<TData> chain = {test::Int(3), test::Int(8)};
  test::LinkChain(chain);
  Compare(chain[0]);  // 3 < 8: Op1 took the first value
  std::vector<TData> reversed = {test::Int(8), test::Int(3)};
  test::LinkChain(reversed);
  Compare(reversed[0]);
  EXPECT_EQ(journal, (Journal{"true=I:3 I:8", "false=I:8 I:3"}));
}

TEST_F(IfElseTest, PropertyOperandLeavesTheIncomingValueToTheOther) {
  // The shape of a time-out check: Op2 fixed, Op1 is what arrives.
  cmp.Op2 = test::Int(3);
  Compare(test::Int(2));
  Compare(test::Int(3));
  Compare(test::Str("3"));
  EXPECT_EQ(journal, (Journal{"false=I:2", "true=I:3", "true=S:3"}));
}

TEST_F(IfElseTest, ConnectedPointsWinAndBreakFallsBack) {
  cmp.Compare = static_cast<std::uint8_t>(CompareCode::Greater);
  cmp.Op1 = test::Int(1);
  test::Answer op1{test::Int(10)};
  test::Answer op2{test::Break()};
  cmp.Op1Point = op1.Link();
  cmp.Op2Point = op2.Link();
  Compare(test::Int(9));  // 10 > 9, with 9 taken from the incoming value
  op1.value = test::Break();
  Compare(test::Int(9));  // property 1 > 9 fails
  EXPECT_EQ(journal, (Journal{"true=I:9", "false=I:9"}));
}

TEST_F(IfElseTest, ReadsOp1BeforeOp2) {
  Journal reads;
  test::LoggedAnswer op1{test::Int(1), &reads, "Op1"};
  test::LoggedAnswer op2{test::Int(1), &reads, "Op2"};
  cmp.Op2Point = op2.Link();
  cmp.Op1Point = op1.Link();
  Compare(TData{});
  EXPECT_EQ(reads, (Journal{"Op1", "Op2"}));
  EXPECT_EQ(journal, Journal{"true=N"});
}

TEST_F(IfElseTest, OutputIsDeferred) {
  TData value = test::Int(4);
  cmp.doCompare(value, 0);  // NULL operand from the empty rest of the chain
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(value.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(value.IData, 4);
  EXPECT_EQ(value.DeferredPoint, &cmp.onFalse);
}

}  // namespace
}  // namespace vn
