#include "components/flow/commutator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Journal = std::vector<std::string>;

class CommutatorTest : public test::LiveDispatchTest {
 protected:
  // `count` outputs, each logging under its own name.
  void Wire(std::uint8_t count) {
    sw.SetOutCount(count);
    outs.clear();
    outs.reserve(count);
    for (std::uint8_t k = 0; k < count; ++k) {
      outs.push_back({&journal, "out" + std::to_string(k)});
      sw.onEvent[k] = outs.back().Link();
    }
  }
  void Hit(std::uint16_t input, TData value = test::Int(7)) {
    FireEvent(MakePoint<&TVNCommutator::doWork>(input, &sw), value);
  }

  TVNCommutator sw;
  Journal journal;
  std::vector<test::ChainLog> outs;
};

TEST_F(CommutatorTest, UnconnectedControlsSendEveryInputToAllOutputsInOrder) {
  Wire(3);
  Hit(5);
  EXPECT_EQ(journal, (Journal{"out0=I:7", "out1=I:7", "out2=I:7"}));
}

TEST_F(CommutatorTest, DisabledReadsNothingElseAndFiresNothing) {
  Wire(2);
  test::LoggedAnswer enable{test::Int(0), &journal, "Enable"};
  test::LoggedAnswer out{test::Int(0), &journal, "OutIndex"};
  test::LoggedAnswer in{test::Int(-1), &journal, "InIndex"};
  sw.Enable = enable.Link();
  sw.OutIndex = out.Link();
  sw.InIndex = in.Link();
  Hit(0);
  EXPECT_EQ(journal, Journal{"Enable"});
}

TEST_F(CommutatorTest, ReadsEnableThenOutIndexThenInIndex) {
  Wire(2);
  test::LoggedAnswer enable{test::Int(1), &journal, "Enable"};
  test::LoggedAnswer out{test::Int(1), &journal, "OutIndex"};
  test::LoggedAnswer in{test::Int(-1), &journal, "InIndex"};
  sw.Enable = enable.Link();
  sw.OutIndex = out.Link();
  sw.InIndex = in.Link();
  Hit(0);
  EXPECT_EQ(journal, (Journal{"Enable", "OutIndex", "InIndex", "out1=I:7"}));
}

struct RouteCase {
  const char* name;
  std::int32_t inIndex;
  std::int32_t outIndex;
  std::uint16_t hitInput;
  std::vector<std::string> fired;
};

TEST_F(CommutatorTest, RoutesByInIndexAndOutIndex) {
  const std::vector<RouteCase> cases = {
      {"InIndex matches", 1, -1, 1, {"out0=I:7", "out1=I:7", "out2=I:7"}},
      {"InIndex differs", 1, -1, 0, {}},
      {"negative InIndex lets all in", -5, 2, 9, {"out2=I:7"}},
      {"single output", -1, 1, 0, {"out1=I:7"}},
      {"OutIndex equal to OutCount", -1, 3, 0, {}},
      {"OutIndex far beyond", -1, 70000, 0, {}},
      {"InIndex above 16 bits never matches", 65536, -1, 0, {}},
  };
  for (const RouteCase& c : cases) {
    SCOPED_TRACE(c.name);
    journal.clear();
    Wire(3);
    test::Answer in{test::Int(c.inIndex)};
    test::Answer out{test::Int(c.outIndex)};
    sw.InIndex = in.Link();
    sw.OutIndex = out.Link();
    Hit(c.hitInput);
    EXPECT_EQ(journal, c.fired);
  }
}

TEST_F(CommutatorTest, EachOutputGetsAFreshCopyAndTheIncomingValueStays) {
  sw.SetOutCount(2);
  test::Clobber clobber;
  test::ChainLog second{&journal, "out1"};
  sw.onEvent[0] = clobber.Link();
  sw.onEvent[1] = second.Link();
  std::vector<TData> chain = {test::Str("a"), test::Int(2)};
  test::LinkChain(chain);
  TData value = chain[0];
  sw.doWork(value, 0);
  EXPECT_EQ(journal, Journal{"out1=S:a I:2"});
  EXPECT_EQ(test::ChainText(value), "S:a I:2");  // unconnected controls took nothing
}

TEST_F(CommutatorTest, CountZeroKeepsTheArrayButFiresNothing) {
  Wire(3);
  sw.SetOutCount(0);
  EXPECT_EQ(sw.OutCount(), 0);
  EXPECT_EQ(sw.onEvent.size(), 3u);
  Hit(0);
  test::Answer out{test::Int(0)};
  sw.OutIndex = out.Link();
  Hit(0);
  EXPECT_TRUE(journal.empty());

  sw.SetOutCount(2);  // the earlier links are still there
  Hit(0);
  EXPECT_EQ(journal, Journal{"out0=I:7"});
}

TEST_F(CommutatorTest, ArrayShrunkBehindTheCountIsNeverOverrun) {
  Wire(3);
  sw.onEvent.resize(1);
  Hit(0);
  test::Answer out{test::Int(2)};
  sw.OutIndex = out.Link();
  Hit(0);
  EXPECT_EQ(journal, Journal{"out0=I:7"});
}

// Shrinks the commutator it belongs to while the all-outputs pass runs.
struct Shrinker {
  TVNCommutator* sw;
  Journal* journal;
  void doEvent(TData&, std::uint16_t) {
    journal->push_back("shrink");
    sw->SetOutCount(1);
  }
};

TEST_F(CommutatorTest, OutputThatShrinksTheCountEndsThePass) {
  Wire(3);
  Shrinker shrinker{&sw, &journal};
  sw.onEvent[0] = MakePoint<&Shrinker::doEvent>(0, &shrinker);
  Hit(0);
  EXPECT_EQ(journal, Journal{"shrink"});
}

}  // namespace
}  // namespace vn
