#include <gtest/gtest.h>

#include <vector>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

// Adds one and defers to the next stage.
struct Increment {
  TPointLink next;
  void doWork(TData& data, std::uint16_t) { DeferInteger(data, next, data.IData + 1); }
};

TEST(DeepPipeline, HundredThousandDeferringStagesRunInConstantStack) {
  // Recursion through 100 000 stages would overflow any default stack; the
  // dispatch loop runs them one after another instead.
  constexpr int kStages = 100000;
  std::vector<Increment> stages(kStages);
  test::Recorder sink;
  for (int i = 0; i + 1 < kStages; ++i) {
    stages[static_cast<std::size_t>(i)].next = MakePoint<&Increment::doWork>(0, &stages[static_cast<std::size_t>(i) + 1]);
  }
  stages.back().next = sink.Link();
  StartDispatch();
  TData value = test::Int(0);
  FireEvent(MakePoint<&Increment::doWork>(0, &stages.front()), value);
  StopDispatch();
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Last().IData, kStages);
}

}  // namespace
}  // namespace vn
