#include "components/flow/for_loop.h"

#include <climits>

#include "components/flow/counter.h"
#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

using Indices = std::vector<std::int32_t>;

// Records every index and scribbles on its value. It breaks the loop after
// `breakAfter` indices, so a loop that fails to end fails instead of hanging.
struct IndexLog {
  TVNFor* loop;
  Indices indices;
  std::size_t breakAfter = 1000;
  void doEvent(TData& data, std::uint16_t) {
    EXPECT_EQ(data.DataType, TagInteger);
    indices.push_back(data.IData);
    DeferInteger(data, TPointLink{}, -12345);
    if (indices.size() >= breakAfter) loop->doBreak(data, 0);
  }
};

class ForTest : public LiveDispatchTest {
 protected:
  ForTest() {
    loop.onEvent = MakePoint<&IndexLog::doEvent>(0, &log);
    loop.onStop = stop.Link();
    loop.onBreak = broke.Link();
    loop.Step = loop.IncludeEnd = 1;
  }
  void Run(TData value = TData{}) {
    log.indices.clear();
    ends.clear();
    FireEvent(MakePoint<&TVNFor::doFor>(0, &loop), value);
  }

  TVNFor loop;
  IndexLog log{&loop};
  Journal ends;
  ChainLog stop{&ends, "stop"}, broke{&ends, "break"};
};

struct RangeCase {
  const char* name;
  std::int32_t start, end, step;
  std::uint8_t includeEnd;
  Indices fired;
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
    loop.Start = c.start;
    loop.End = c.end;
    loop.Step = c.step;
    loop.IncludeEnd = c.includeEnd;
    Run();
    EXPECT_EQ(log.indices, c.fired);
    EXPECT_EQ(ends, Journal{"stop=I:" + std::to_string(c.stop)});
  }
}

// With UseInput, the incoming chain gives the start and then the end.
TEST_F(ForTest, IncomingValueSuppliesBoundsOnlyWithUseInput) {
  std::vector<TData> chain = {Int(7), Str("9")};
  loop.End = 2;
  Run(LinkChain(chain));
  EXPECT_EQ(log.indices, (Indices{0, 1, 2}));
  loop.UseInput = 1;
  loop.End = 0;
  Run(chain[0]);
  EXPECT_EQ(log.indices, (Indices{7, 8, 9}));
  loop.Start = 5;  // a non-zero Start leaves the head to the end
  Run(chain[0]);
  EXPECT_EQ(log.indices, (Indices{5, 6, 7}));
}

TEST_F(ForTest, ConnectedPointsWinStartIsReadFirstAndStopIsDeferred) {
  Journal reads;
  LoggedAnswer start{Int(10), &reads, "Start"}, end{Int(12), &reads, "End"};
  loop.StartPoint = start.Link();
  loop.EndPoint = end.Link();
  loop.Start = loop.End = 1;
  TData value;
  loop.doFor(value, 0);
  EXPECT_EQ(reads, (Journal{"Start", "End"}));
  EXPECT_EQ(log.indices, (Indices{10, 11, 12}));
  EXPECT_TRUE(ends.empty());
  EXPECT_EQ(DeferredTo(loop.onStop, value), "I:13");
}

TEST_F(ForTest, BreakEndsTheLoopAndTheNextRunClearsIt) {
  loop.End = 3;
  loop.IncludeEnd = 0;
  log.breakAfter = 3;
  loop.BreakEvent = 1;
  Run();
  EXPECT_EQ(log.indices, (Indices{0, 1, 2}));
  EXPECT_EQ(ends, Journal{"break=N"});
  EXPECT_EQ(loop.Index(), 2);
  loop.BreakEvent = 0;  // onStop then reports the breaking index
  Run();
  EXPECT_EQ(ends, Journal{"stop=I:2"});

  loop.BreakEvent = 1;
  log.breakAfter = 1000;
  TData none;
  loop.doBreak(none, 0);  // set while no loop runs
  Run();
  EXPECT_EQ(log.indices, (Indices{0, 1, 2}));
  EXPECT_EQ(ends, Journal{"stop=I:3"});
}

using CounterTest = LiveDispatchTest;

// One doNext; the count must go to onNext deferred, as an Integer.
std::int32_t Next(TVNCounter& counter) {
  TData value = Str("ignored");
  counter.doNext(value, 0);
  EXPECT_EQ(DeferredTo(counter.onNext, value), "I:" + std::to_string(counter.Count()));
  return value.IData;
}

struct StepCase {
  const char* name;
  std::uint8_t direction;
  std::int32_t min, max, step, start;
  std::vector<std::int32_t> emitted;
};

// An overshoot restarts at exactly the bound. Steps that would leave the
// 32-bit range do not overflow: exact arithmetic decides the bound, and only
// an unchecked end (a step against the direction) wraps.
TEST_F(CounterTest, WrapsToTheOppositeBoundWithoutOverflow) {
  const std::vector<StepCase> cases = {
      {"down below Min restarts at Max", 1, 0, 3, 2, 3, {1, 3, 1}},
      {"up past Max restarts at Min", 0, 2, 10, 5, 4, {9, 2, 7}},
      {"up past INT32_MAX restarts", 0, 0, INT32_MAX, 1, INT32_MAX, {0}},
      {"up by INT32_MAX from INT32_MAX", 0, -1, INT32_MAX, INT32_MAX, INT32_MAX, {-1}},
      {"up reaching INT32_MAX exactly", 0, 0, INT32_MAX, 1, INT32_MAX - 1, {INT32_MAX}},
      {"down past INT32_MIN restarts", 1, INT32_MIN, 5, 1, INT32_MIN, {5}},
      {"down by INT32_MAX from INT32_MIN", 1, INT32_MIN, 0, INT32_MAX, INT32_MIN + 1, {0}},
      {"down by INT32_MIN wraps", 1, INT32_MIN, 0, INT32_MIN, 0, {INT32_MIN}},
      {"down by INT32_MIN stays in range", 1, 0, 0, INT32_MIN, -1, {INT32_MAX}},
      {"up by a negative step wraps", 0, 0, 10, -1, INT32_MIN, {INT32_MAX}},
      {"up with INT32_MIN step from -1", 0, 0, 10, INT32_MIN, -1, {INT32_MAX}},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    TVNCounter counter;
    counter.Direction = c.direction;
    counter.Min = c.min;
    counter.Max = c.max;
    counter.Step = c.step;
    counter.SetDefault(c.start);
    std::vector<std::int32_t> emitted;
    for (std::size_t i = 0; i < c.emitted.size(); ++i) emitted.push_back(Next(counter));
    EXPECT_EQ(emitted, c.emitted);
  }
}

TEST_F(CounterTest, ResetGoesToTheStartOfTheDirectionAndEmitsNothing) {
  TVNCounter counter;
  counter.Min = -4;
  counter.Max = 9;
  counter.SetDefault(5);
  TData value;
  counter.doReset(value, 0);
  EXPECT_EQ(counter.Count(), -4);
  counter.Direction = 2;
  counter.doReset(value, 0);
  EXPECT_EQ(ChainText(value), "N");  // nothing deferred
  TData answer;
  ReadPoint(MakePoint<&TVNCounter::varCount>(0, &counter), answer);
  EXPECT_EQ(ChainText(answer), "I:9");
}

}  // namespace
}  // namespace vn::test
