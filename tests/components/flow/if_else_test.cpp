#include "components/flow/if_else.h"

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

// The outputs carry the incoming chain whole, not the operands.
TEST_F(IfElseTest, UnsetOperandsComeFromTheChainInOrder) {
  cmp.Compare = static_cast<std::uint8_t>(CompareCode::Less);
  Compare({Int(3), Int(8)});  // 3 < 8: Op1 took the first value
  Compare({Int(8), Int(3)});
  EXPECT_EQ(journal, (Journal{"true=I:3 I:8", "false=I:8 I:3"}));
}

TEST_F(IfElseTest, PropertyOperandLeavesTheIncomingValueToTheOther) {
  cmp.Op2 = Int(3);  // a time-out check: Op2 fixed, Op1 is what arrives
  Compare({Int(2)});
  Compare({Int(3)});
  Compare({Str("3")});
  EXPECT_EQ(journal, (Journal{"false=I:2", "true=I:3", "true=S:3"}));
}

TEST_F(IfElseTest, ConnectedPointsWinAndBreakFallsBack) {
  cmp.Compare = static_cast<std::uint8_t>(CompareCode::Greater);
  cmp.Op1 = Int(1);
  Answer op1{Int(10)}, op2{Break()};
  cmp.Op1Point = op1.Link();
  cmp.Op2Point = op2.Link();
  Compare({Int(9)});  // 10 > 9, with 9 taken from the incoming value
  op1.value = Break();
  Compare({Int(9)});  // property 1 > 9 fails
  EXPECT_EQ(journal, (Journal{"true=I:9", "false=I:9"}));
}

TEST_F(IfElseTest, ReadsOp1BeforeOp2AndDefersTheIncomingValue) {
  Journal reads;
  LoggedAnswer op1{Int(1), &reads, "Op1"}, op2{Int(1), &reads, "Op2"};
  cmp.Op2Point = op2.Link();
  cmp.Op1Point = op1.Link();
  TData value = Int(4);
  cmp.doCompare(value, 0);
  EXPECT_EQ(reads, (Journal{"Op1", "Op2"}));
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(DeferredTo(cmp.onTrue, value), "I:4");
}

}  // namespace
}  // namespace vn::test
