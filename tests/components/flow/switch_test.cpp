#include "components/flow/switch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Journal = std::vector<std::string>;

class SwitchTest : public test::LiveDispatchTest {
 protected:
  void WireOutputs() {
    sw.onSwitch = onSwitch.Link();
    sw.onOn = onOn.Link();
    sw.onOff = onOff.Link();
  }
  void Toggle(TData value = TData{}) {
    FireEvent(MakePoint<&TVNSwitch::doSwitch>(0, &sw), value);
  }

  TVNSwitch sw;
  Journal journal;
  test::ChainLog onSwitch{&journal, "onSwitch"};
  test::ChainLog onOn{&journal, "onOn"};
  test::ChainLog onOff{&journal, "onOff"};
};

TEST_F(SwitchTest, FiresOnSwitchFirstThenTheStateEventWithTheNewValue) {
  sw.DataOn = test::Int(1);
  sw.DataOff = test::Int(0);
  sw.SetDefault(1);
  WireOutputs();
  EXPECT_EQ(sw.State, 0);
  EXPECT_EQ(test::ChainText(sw.Value()), "I:0");

  Toggle(test::Str("ignored"));
  EXPECT_EQ(sw.State, 1);
  Toggle();
  EXPECT_EQ(sw.State, 0);
  EXPECT_EQ(journal, (Journal{"onSwitch=I:1", "onOn=I:1", "onSwitch=I:0", "onOff=I:0"}));
}

TEST_F(SwitchTest, DefaultZeroStartsOnWithTheOnValue) {
  sw.DataOn = test::Str("on");
  sw.DataOff = test::Str("off");
  sw.SetDefault(0);
  EXPECT_EQ(sw.State, 1);
  TData answer;
  ReadPoint(MakePoint<&TVNSwitch::varValue>(0, &sw), answer);
  EXPECT_EQ(test::ChainText(answer), "S:on");
  WireOutputs();
  Toggle();
  EXPECT_EQ(journal, (Journal{"onSwitch=S:off", "onOff=S:off"}));
}

TEST_F(SwitchTest, UnsetValuesPassTheFirstIncomingValueToBothEvents) {
  WireOutputs();
  std::vector<TData> chain = {test::Str("head"), test::Int(2)};
  test::LinkChain(chain);
  Toggle(chain[0]);
  EXPECT_EQ(journal, (Journal{"onSwitch=S:head", "onOn=S:head"}));
  EXPECT_EQ(test::ChainText(sw.Value()), "S:head");
}

TEST_F(SwitchTest, ConnectedPointWinsAndBreakFallsBackToTheProperty) {
  sw.DataOn = test::Str("prop-on");
  sw.DataOff = test::Str("prop-off");
  test::Answer on{test::Str("point-on")};
  test::Answer off{test::Break()};
  sw.DataOnPoint = on.Link();
  sw.DataOffPoint = off.Link();
  WireOutputs();
  Toggle();
  Toggle();
  EXPECT_EQ(journal, (Journal{"onSwitch=S:point-on", "onOn=S:point-on", "onSwitch=S:prop-off",
                              "onOff=S:prop-off"}));
  EXPECT_EQ(on.asked, 1);
  EXPECT_EQ(off.asked, 1);
}

TEST_F(SwitchTest, OnSwitchReceiverCannotChangeWhatOnOnCarries) {
  sw.DataOn = test::Int(1);
  test::Clobber clobber;
  sw.onSwitch = clobber.Link();
  sw.onOn = onOn.Link();
  Toggle();
  EXPECT_EQ(journal, Journal{"onOn=I:1"});
}

TEST_F(SwitchTest, StateEventIsDeferredAndOnSwitchIsNot) {
  sw.DataOn = test::Int(1);
  WireOutputs();
  TData value;
  sw.doSwitch(value, 0);
  EXPECT_EQ(journal, Journal{"onSwitch=I:1"});
  EXPECT_EQ(value.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(value.DeferredPoint, &sw.onOn);
}

TEST_F(SwitchTest, AnyStateOtherThanOnCountsAsOff) {
  sw.DataOn = test::Int(1);
  WireOutputs();
  sw.State = 7;
  Toggle();
  EXPECT_EQ(sw.State, 1);
  EXPECT_EQ(journal, (Journal{"onSwitch=I:1", "onOn=I:1"}));
}

}  // namespace
}  // namespace vn
