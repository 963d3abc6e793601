#include "components/flow/switch.h"

#include "components/flow/case.h"
#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

class SwitchTest : public LiveDispatchTest {
 protected:
  SwitchTest() {
    sw.onSwitch = onSwitch.Link();
    sw.onOn = onOn.Link();
    sw.onOff = onOff.Link();
  }
  void Toggle(TData value = TData{}) { FireEvent(MakePoint<&TVNSwitch::doSwitch>(0, &sw), value); }

  TVNSwitch sw;
  Journal journal;
  ChainLog onSwitch{&journal, "onSwitch"}, onOn{&journal, "onOn"}, onOff{&journal, "onOff"};
};

TEST_F(SwitchTest, DefaultPicksTheStateAndEachToggleFiresOnSwitchThenTheStateEvent) {
  sw.DataOn = Int(1);
  sw.DataOff = Int(0);
  sw.SetDefault(1);
  EXPECT_EQ(sw.State, 0);
  EXPECT_EQ(ChainText(sw.Value()), "I:0");
  Toggle(Str("ignored"));
  EXPECT_EQ(sw.State, 1);
  Toggle();
  EXPECT_EQ(sw.State, 0);
  EXPECT_EQ(journal, (Journal{"onSwitch=I:1", "onOn=I:1", "onSwitch=I:0", "onOff=I:0"}));
  TData answer;
  ReadPoint(MakePoint<&TVNSwitch::varValue>(0, &sw), answer);
  EXPECT_EQ(ChainText(answer), "I:0");
}

TEST_F(SwitchTest, StateEventIsDeferredWithAValueOnSwitchCannotChange) {
  sw.DataOn = Int(1);
  Clobber clobber;
  sw.onSwitch = clobber.Link();
  TData value;
  sw.doSwitch(value, 0);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(DeferredTo(sw.onOn, value), "I:1");
}

using CaseTest = LiveDispatchTest;

struct MatchCase {
  const char* name;
  TData value, incoming;
  bool matches;
};

// Exactly one output fires, at once: onMatch with Result, or onNextCase with
// the incoming value.
TEST_F(CaseTest, IncomingValueDecidesTheKindOfTheComparison) {
  const std::vector<MatchCase> cases = {
      {"Integer 5 against text 5", Str("5"), Int(5), true},
      {"text 05 against Integer 5", Int(5), Str("05"), false},
      {"text 5 against Integer 5", Int(5), Str("5"), true},
      {"NULL against NULL", TData{}, TData{}, true},
      {"NULL against Integer 0", Int(0), TData{}, false},
      {"Integer 0 against NULL", TData{}, Int(0), true},
      {"letter case counts", Str("vers"), Str("VERS"), false},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    ChainLog match{&journal, "match"}, next{&journal, "next"};
    TVNCase arm;
    arm.Value = c.value;
    arm.Result = Str("R");
    arm.onMatch = match.Link();
    arm.onNextCase = next.Link();
    TData value = c.incoming;
    arm.doCase(value, 0);
    EXPECT_EQ(journal, Journal{c.matches ? "match=S:R" : "next=" + ChainText(c.incoming)});
    EXPECT_EQ(value.DataType & DeferredFlag, 0);
  }
}

// Only the head of the chain is compared, but the whole chain goes on; an
// unset Result matches with NULL (the probe's open check relies on it).
TEST_F(CaseTest, HeadDecidesChainGoesOnUnsetResultIsNull) {
  Journal journal;
  ChainLog match{&journal, "match"}, next{&journal, "next"};
  TVNCase arm;
  arm.Value = Int(2);
  arm.onMatch = match.Link();
  arm.onNextCase = next.Link();
  std::vector<TData> chain = {Int(3), Int(2)};
  FireEvent(MakePoint<&TVNCase::doCase>(0, &arm), LinkChain(chain));
  FireInteger(MakePoint<&TVNCase::doCase>(0, &arm), 2);
  EXPECT_EQ(journal, (Journal{"next=I:3 I:2", "match=N"}));
}

}  // namespace
}  // namespace vn::test
