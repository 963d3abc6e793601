#include "components/flow/counter.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

class CounterTest : public test::LiveDispatchTest {
 protected:
  std::vector<std::int32_t> Next(TVNCounter& counter, int times) {
    test::Recorder out;
    counter.onNext = out.Link();
    const TPointLink next = MakePoint<&TVNCounter::doNext>(0, &counter);
    for (int i = 0; i < times; ++i) {
      TData value = test::Str("in");
      FireEvent(next, value);
    }
    std::vector<std::int32_t> values;
    for (const auto& hit : out.hits) {
      EXPECT_EQ(hit.value.DataType, TagInteger);
      values.push_back(hit.value.IData);
    }
    return values;
  }
};

TEST_F(CounterTest, CountsUpThroughMaxThenRestartsAtMin) {
  TVNCounter counter;
  counter.Max = 507;
  counter.Step = 1;
  const std::vector<std::int32_t> values = Next(counter, 509);
  ASSERT_EQ(values.size(), 509u);
  for (std::size_t i = 0; i < 507; ++i) ASSERT_EQ(values[i], static_cast<std::int32_t>(i + 1));
  EXPECT_EQ(values[507], 0);
  EXPECT_EQ(values[508], 1);
}

TEST_F(CounterTest, CountingDownBelowMinRestartsAtMaxNotAtTheOvershoot) {
  TVNCounter counter;
  counter.Max = 3;
  counter.Step = 2;
  counter.Direction = 1;
  counter.SetDefault(3);
  EXPECT_EQ(Next(counter, 3), (std::vector<std::int32_t>{1, 3, 1}));
}

TEST_F(CounterTest, UpOvershootRestartsAtExactlyMin) {
  TVNCounter counter;
  counter.Min = 2;
  counter.Max = 10;
  counter.Step = 5;
  counter.SetDefault(4);
  EXPECT_EQ(Next(counter, 3), (std::vector<std::int32_t>{9, 2, 7}));
}

TEST_F(CounterTest, ResetGoesToTheStartOfTheDirectionAndEmitsNothing) {
  TVNCounter counter;
  counter.Min = -4;
  counter.Max = 9;
  counter.SetDefault(5);
  test::Recorder out;
  counter.onNext = out.Link();
  TData value;
  counter.doReset(value, 0);
  EXPECT_EQ(counter.Count(), -4);
  counter.Direction = 2;
  counter.doReset(value, 0);
  EXPECT_EQ(counter.Count(), 9);
  EXPECT_EQ(out.Count(), 0u);
  EXPECT_EQ(value.DataType, TagNull);
}

TEST_F(CounterTest, VarCountAnswersAnIntegerAndNextIsDeferred) {
  TVNCounter counter;
  counter.Max = 100;
  counter.Step = 7;
  counter.SetDefault(30);
  TData answer;
  ReadPoint(MakePoint<&TVNCounter::varCount>(0, &counter), answer);
  EXPECT_EQ(answer.DataType, TagInteger);
  EXPECT_EQ(answer.IData, 30);

  TData value = test::Str("ignored");
  counter.doNext(value, 0);
  EXPECT_EQ(value.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(value.IData, 37);
  EXPECT_EQ(value.DeferredPoint, &counter.onNext);
}

struct EdgeCase {
  const char* name;
  std::uint8_t direction;
  std::int32_t min, max, step, start;
  std::int32_t expected;
};

// Steps that would leave the 32-bit range: exact arithmetic decides the
// bound; an unchecked end (a step against the direction) wraps.
TEST_F(CounterTest, StepsAtTheEdgesOfTheRangeDoNotOverflow) {
  const std::vector<EdgeCase> cases = {
      {"up past INT32_MAX restarts", 0, 0, INT32_MAX, 1, INT32_MAX, 0},
      {"up by INT32_MAX from INT32_MAX", 0, -1, INT32_MAX, INT32_MAX, INT32_MAX, -1},
      {"up reaching INT32_MAX exactly", 0, 0, INT32_MAX, 1, INT32_MAX - 1, INT32_MAX},
      {"down past INT32_MIN restarts", 1, INT32_MIN, 5, 1, INT32_MIN, 5},
      {"down by INT32_MAX from INT32_MIN", 1, INT32_MIN, 0, INT32_MAX, INT32_MIN + 1, 0},
      {"down by INT32_MIN wraps", 1, INT32_MIN, 0, INT32_MIN, 0, INT32_MIN},
      {"down by INT32_MIN stays in range", 1, 0, 0, INT32_MIN, -1, INT32_MAX},
      {"up by a negative step wraps", 0, 0, 10, -1, INT32_MIN, INT32_MAX},
      {"up with INT32_MIN step from -1", 0, 0, 10, INT32_MIN, -1, INT32_MAX},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TVNCounter counter;
    counter.Direction = c.direction;
    counter.Min = c.min;
    counter.Max = c.max;
    counter.Step = c.step;
    counter.SetDefault(c.start);
    TData value;
    counter.doNext(value, 0);
    EXPECT_EQ(counter.Count(), c.expected);
    EXPECT_EQ(value.IData, c.expected);
  }
}

}  // namespace
}  // namespace vn
