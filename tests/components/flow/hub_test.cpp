#include "components/flow/hub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Recorder;

class HubTest : public test::LiveDispatchTest {};

// Changes the value it receives by deferring something else.
struct Clobber {
  TPointLink out;
  void doEvent(TData& data, std::uint16_t) { DeferInteger(data, out, 999); }
};

TEST_F(HubTest, ZeroOutputsDoNothingAndLeaveValue) {
  TVNHub hub;
  TData value = test::Int(4);
  hub.doEvent(value, 0);
  EXPECT_EQ(value.IData, 4);
  EXPECT_EQ(value.DataType, TagInteger);
}

TEST_F(HubTest, EveryOutputGetsTheUnchangedIncomingValue) {
  TVNHub hub;
  hub.SetOutCount(2);
  EXPECT_EQ(hub.OutCount(), 2);
  Clobber clobber;
  Recorder r;
  hub.onEvent[0] = MakePoint<&Clobber::doEvent>(0, &clobber);
  hub.onEvent[1] = r.Link();
  TData value = test::Str("v");
  FireEvent(MakePoint<&TVNHub::doEvent>(3, &hub), value);
  ASSERT_EQ(r.Count(), 1u);
  EXPECT_EQ(r.Last().SData, "v");
  EXPECT_EQ(r.Last().DataType, TagString);
  EXPECT_EQ(value.DataType, TagString);  // the hub defers nothing
}

// On its first call re-enters the hub once.
struct Reenter {
  TPointLink hub;
  std::vector<std::string>* log;
  int depth = 0;
  void doEvent(TData&, std::uint16_t) {
    log->push_back("out0@" + std::to_string(depth));
    if (depth++ == 0) FireInteger(hub, 1);
  }
};

TEST_F(HubTest, NestedPassFinishesBeforeNextOutput) {
  std::vector<std::string> log;
  TVNHub hub;
  hub.SetOutCount(2);
  Reenter reenter{MakePoint<&TVNHub::doEvent>(0, &hub), &log};
  Recorder r;
  r.journal = &log;
  r.name = "out1";
  hub.onEvent[0] = MakePoint<&Reenter::doEvent>(0, &reenter);
  hub.onEvent[1] = r.Link();
  FireNull(MakePoint<&TVNHub::doEvent>(0, &hub));
  EXPECT_EQ(log, (std::vector<std::string>{"out0@0", "out0@1", "out1", "out1"}));
}

}  // namespace
}  // namespace vn
