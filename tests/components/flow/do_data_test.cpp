#include "components/flow/do_data.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

class DoDataTest : public test::LiveDispatchTest {};

struct DoDataCase {
  const char* name;
  std::optional<TData> answer;  // the Data point's answer; none: unconnected
  TData property;
  TData incoming;
  const char* emitted;
};

TEST_F(DoDataTest, EmitsPointElsePropertyNeverTheIncomingValue) {
  const std::vector<DoDataCase> cases = {
      {"point wins over property", test::Str("p"), test::Int(3), test::Int(9), "S:p"},
      {"point answering NULL still wins", TData{}, test::Int(3), test::Int(9), "N"},
      {"point answering Break falls back", test::Break(), test::Int(3), test::Int(9), "I:3"},
      {"unconnected: property", std::nullopt, test::Str("VERS"), test::Int(9), "S:VERS"},
      {"NULL property ignores the incoming value", std::nullopt, TData{}, test::Int(9), "N"},
      {"Break then NULL property", test::Break(), TData{}, test::Str("in"), "N"},
  };
  for (const DoDataCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> journal;
    test::ChainLog out{&journal, "out"};
    test::Answer answer;
    TVNDoData doData;
    doData.Data = c.property;
    doData.onEventData = out.Link();
    if (c.answer) {
      answer.value = *c.answer;
      doData.DataPoint = answer.Link();
    }
    TData value = c.incoming;
    FireEvent(MakePoint<&TVNDoData::doData>(0, &doData), value);
    EXPECT_EQ(journal, std::vector<std::string>{std::string("out=") + c.emitted});
    EXPECT_EQ(answer.asked, c.answer ? 1 : 0);
  }
}

TEST_F(DoDataTest, OutputIsDeferredToTheCallersLoop) {
  TVNDoData doData;
  doData.Data = test::Int(1);
  TData value = test::Str("x");
  doData.doData(value, 0);
  EXPECT_EQ(value.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(value.IData, 1);
  EXPECT_EQ(value.DeferredPoint, &doData.onEventData);
}

}  // namespace
}  // namespace vn
