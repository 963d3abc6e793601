#include "components/flow/counter.h"

#include <climits>

#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

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
