#include "components/flow/do_data.h"

#include <optional>

#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

using DoDataTest = LiveDispatchTest;

struct DoDataCase {
  const char* name;
  std::optional<TData> answer;  // the Data point's answer; none: unconnected
  TData property;
  TData incoming;
  const char* emitted;
};

TEST_F(DoDataTest, DefersPointElsePropertyElseNullNeverTheIncomingValue) {
  const std::vector<DoDataCase> cases = {
      {"point wins over property", Str("p"), Int(3), Int(9), "S:p"},
      {"point answering NULL still wins", TData{}, Int(3), Int(9), "N"},
      {"point answering Break falls back", Break(), Int(3), Int(9), "I:3"},
      {"unconnected: property", std::nullopt, Str("VERS"), Int(9), "S:VERS"},
      {"NULL property ignores the incoming value", std::nullopt, TData{}, Int(9), "N"},
      {"Break then NULL property", Break(), TData{}, Str("in"), "N"},
  };
  for (const DoDataCase& c : cases) {
    SCOPED_TRACE(c.name);
    Answer answer{c.answer.value_or(TData{})};
    TVNDoData doData;
    doData.Data = c.property;
    if (c.answer) doData.DataPoint = answer.Link();
    TData value = c.incoming;
    doData.doData(value, 0);
    EXPECT_EQ(answer.asked, c.answer ? 1 : 0);
    EXPECT_EQ(DeferredTo(doData.onEventData, value), c.emitted);
  }
}

}  // namespace
}  // namespace vn::test
