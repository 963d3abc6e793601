#include "components/flow/hub.h"

#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

using HubTest = LiveDispatchTest;

TEST_F(HubTest, OutputsFireInOrderEachWithItsOwnCopyOfTheIncomingValue) {
  TVNHub hub;
  TData value = Int(4);
  hub.doEvent(value, 0);  // no outputs: nothing to do
  EXPECT_EQ(ChainText(value), "I:4");

  Journal journal;
  ChainLog first{&journal, "out0"}, last{&journal, "out2"};
  Clobber clobber;
  hub.SetOutCount(3);
  hub.onEvent = {first.Link(), clobber.Link(), last.Link()};
  value = Str("v");
  hub.doEvent(value, 7);  // every input index acts alike
  EXPECT_EQ(journal, (Journal{"out0=S:v", "out2=S:v"}));
  EXPECT_EQ(ChainText(value), "S:v");  // unchanged, nothing deferred
}

// Output 0 fires back into the hub once; the nested pass ends before output 1.
struct Reenter {
  TPointLink hub;
  Journal* log;
  int depth = 0;
  void doEvent(TData&, std::uint16_t) {
    log->push_back("out0@" + std::to_string(depth));
    if (depth++ == 0) FireInteger(hub, 1);
  }
};

TEST_F(HubTest, NestedPassFinishesBeforeTheNextOutput) {
  Journal log;
  TVNHub hub;
  hub.SetOutCount(2);
  Reenter reenter{MakePoint<&TVNHub::doEvent>(0, &hub), &log};
  ChainLog out1{&log, "out1"};
  hub.onEvent = {MakePoint<&Reenter::doEvent>(0, &reenter), out1.Link()};
  FireNull(MakePoint<&TVNHub::doEvent>(0, &hub));
  EXPECT_EQ(log, (Journal{"out0@0", "out0@1", "out1=I:1", "out1=N"}));
}

}  // namespace
}  // namespace vn::test
