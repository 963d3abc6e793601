#include "components/flow/for_loop.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

// Records every index; breaks the loop at `breakAt`, and in any case after
// `limit` indices, so a loop that fails to end makes the test fail instead
// of hanging it.
struct IndexLog {
  TVNFor* loop = nullptr;
  std::vector<std::int32_t> indices;
  std::int64_t breakAt = INT64_MIN;
  std::size_t limit = 1000;

  void doEvent(TData& data, std::uint16_t) {
    const std::int32_t index = data.IData;
    indices.push_back(index);
    EXPECT_EQ(data.DataType, TagInteger);
    DeferInteger(data, TPointLink{}, -12345);  // a receiver may scribble on its value
    if (index == breakAt || indices.size() >= limit) {
      TData none;
      loop->doBreak(none, 0);
    }
  }
};

class ForTest : public test::LiveDispatchTest {
 protected:
  ForTest() {
    log.loop = &loop;
    loop.onEvent = MakePoint<&IndexLog::doEvent>(0, &log);
    loop.onStop = stop.Link();
    loop.onBreak = broke.Link();
  }
  void Run(TData value = TData{}) { FireEvent(MakePoint<&TVNFor::doFor>(0, &loop), value); }
  std::int32_t Stopped() const {
    EXPECT_EQ(stop.Count(), 1u);
    return stop.Count() == 1 ? stop.Last().IData : INT32_MIN;
  }

  TVNFor loop;
  IndexLog log;
  test::Recorder stop;
  test::Recorder broke;
};

TEST_F(ForTest, FullByteRange) {
  loop.End = 255;
  loop.Step = 1;
  loop.IncludeEnd = 1;
  Run();
  ASSERT_EQ(log.indices.size(), 256u);
  for (std::int32_t i = 0; i < 256; ++i) ASSERT_EQ(log.indices[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(Stopped(), 256);
  EXPECT_EQ(broke.Count(), 0u);
}

struct RangeCase {
  const char* name;
  std::int32_t start, end, step;
  std::uint8_t includeEnd;
  std::vector<std::int32_t> fired;
  std::int32_t stop;
};

TEST_F(ForTest, RangesAndTheIndexAfterThem) {
  const std::vector<RangeCase> cases = {
      {"excluded end equal to start", 0, 0, 1, 0, {}, 0},
      {"included end equal to start", 0, 0, 1, 1, {0}, 1},
      {"down to an included end", 3, 0, -1, 1, {3, 2, 1, 0}, -1},
      {"down to an excluded end", 3, 0, -1, 0, {3, 2, 1}, 0},
      {"step over the end", 0, 7, 3, 1, {0, 3, 6}, 9},
      {"zero step never iterates", 4, 9, 0, 1, {}, 4},
      {"start beyond the end", 5, 2, 1, 1, {}, 5},
      {"up to INT32_MAX", INT32_MAX - 2, INT32_MAX, 1, 1,
       {INT32_MAX - 2, INT32_MAX - 1, INT32_MAX}, INT32_MIN},
      {"huge step from zero", 0, INT32_MAX, INT32_MAX, 1, {0, INT32_MAX}, -2},
      {"huge step past a small end", 1, 10, INT32_MAX, 1, {1}, INT32_MIN},
      {"down to INT32_MIN", INT32_MIN + 1, INT32_MIN, -1, 1, {INT32_MIN + 1, INT32_MIN}, INT32_MAX},
      {"excluded INT32_MIN end going up", INT32_MIN, INT32_MIN, 1, 0, {}, INT32_MIN},
      {"excluded INT32_MAX end going down", INT32_MAX, INT32_MAX, -1, 0, {}, INT32_MAX},
      {"INT32_MIN step across the range", INT32_MAX, INT32_MIN, INT32_MIN, 1,
       {INT32_MAX, -1}, INT32_MAX},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    log.indices.clear();
    stop.hits.clear();
    loop.Start = c.start;
    loop.End = c.end;
    loop.Step = c.step;
    loop.IncludeEnd = c.includeEnd;
    Run();
    EXPECT_EQ(log.indices, c.fired);
    EXPECT_EQ(Stopped(), c.stop);
  }
}

TEST_F(ForTest, WithoutUseInputTheIncomingValueIsIgnored) {
  loop.End = 2;
  loop.Step = 1;
  loop.IncludeEnd = 1;
  std::vector<TData> chain = {test::Int(7), test::Int(9)};
  test::LinkChain(chain);
  Run(chain[0]);
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{0, 1, 2}));
}

TEST_F(ForTest, WithUseInputTheChainGivesStartThenEnd) {
  loop.UseInput = 1;
  loop.Step = 1;
  loop.IncludeEnd = 1;
  std::vector<TData> chain = {test::Int(7), test::Str("9")};
  test::LinkChain(chain);
  Run(chain[0]);
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{7, 8, 9}));
  EXPECT_EQ(Stopped(), 10);
}

TEST_F(ForTest, NonZeroStartPropertyLeavesTheIncomingValueToTheEnd) {
  loop.UseInput = 1;
  loop.Start = 1;
  loop.Step = 1;
  loop.IncludeEnd = 1;
  Run(test::Int(3));
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{1, 2, 3}));
}

TEST_F(ForTest, ConnectedPointsWin) {
  std::vector<std::string> journal;
  test::LoggedAnswer start{test::Int(10), &journal, "Start"};
  test::LoggedAnswer end{test::Int(12), &journal, "End"};
  loop.StartPoint = start.Link();
  loop.EndPoint = end.Link();
  loop.Start = 1;
  loop.End = 1;
  loop.Step = 1;
  loop.IncludeEnd = 1;
  Run();
  EXPECT_EQ(journal, (std::vector<std::string>{"Start", "End"}));
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{10, 11, 12}));
}

TEST_F(ForTest, BreakWithBreakEventFiresOnBreakOnly) {
  loop.End = 9;
  loop.Step = 1;
  loop.BreakEvent = 1;
  log.breakAt = 2;
  Run();
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(stop.Count(), 0u);
  ASSERT_EQ(broke.Count(), 1u);
  EXPECT_EQ(broke.Last().DataType, TagNull);
  EXPECT_EQ(loop.Index(), 2);
}

TEST_F(ForTest, BreakWithoutBreakEventStopsAtTheBreakingIndex) {
  loop.End = 9;
  loop.Step = 1;
  log.breakAt = 2;
  Run();
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(Stopped(), 2);
  EXPECT_EQ(broke.Count(), 0u);
}

TEST_F(ForTest, NextRunClearsAnEarlierBreak) {
  loop.End = 3;
  loop.Step = 1;
  loop.BreakEvent = 1;
  TData none;
  loop.doBreak(none, 0);  // set while no loop runs
  Run();
  EXPECT_EQ(log.indices, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(Stopped(), 3);
  EXPECT_EQ(broke.Count(), 0u);
}

TEST_F(ForTest, StopIsDeferred) {
  loop.End = 1;
  loop.Step = 1;
  TData value;
  loop.doFor(value, 0);
  EXPECT_EQ(stop.Count(), 0u);
  EXPECT_EQ(value.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(value.IData, 1);
  EXPECT_EQ(value.DeferredPoint, &loop.onStop);
}

}  // namespace
}  // namespace vn
