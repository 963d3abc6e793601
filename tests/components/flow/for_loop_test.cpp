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
      {"up to INT32_MAX", INT32_MAX - 2, INT32_MAX, 1, 1,
       {INT32_MAX - 2, INT32_MAX - 1, INT32_MAX}, INT32_MIN},
      {"huge step from zero", 0, INT32_MAX, INT32_MAX, 1, {0, INT32_MAX}, -2},
      {"down to INT32_MIN", INT32_MIN + 1, INT32_MIN, -1, 1, {INT32_MIN + 1, INT32_MIN}, INT32_MAX},
      {"excluded INT32_MIN end going up", INT32_MIN, INT32_MIN, 1, 0, {}, INT32_MIN},
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

// The byte loop is started by a value it must not take as its bounds; the
// end is deferred, not fired, so the next stage runs after the loop returns.
TEST_F(ForTest, IncomingValueIsNoBoundAndStopIsDeferred) {
  std::vector<TData> chain = {Int(7), Str("9")};
  loop.End = 2;
  loop.doFor(LinkChain(chain), 0);
  EXPECT_EQ(log.indices, (Indices{0, 1, 2}));
  EXPECT_TRUE(ends.empty());
  EXPECT_EQ(DeferredTo(loop.onStop, chain[0]), "I:3");
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
      {"down by INT32_MIN wraps", 1, INT32_MIN, 0, INT32_MIN, 0, {INT32_MIN}},
      {"up by a negative step wraps", 0, 0, 10, -1, INT32_MIN, {INT32_MAX}},
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

TEST_F(CounterTest, ResetGoesBackToMinAndEmitsNothing) {
  TVNCounter counter;
  counter.Min = -4;
  counter.Max = 9;
  counter.SetDefault(5);
  TData value;
  counter.doReset(value, 0);
  EXPECT_EQ(ChainText(value), "N");  // nothing deferred
  TData answer;
  ReadPoint(MakePoint<&TVNCounter::varCount>(0, &counter), answer);
  EXPECT_EQ(ChainText(answer), "I:-4");
}

}  // namespace
}  // namespace vn::test
