#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Int;
using test::Recorder;
using test::Str;

// Defers its value to `next` after appending its name, like a pipeline stage.
struct Stage {
  std::string name;
  TPointLink next;
  std::vector<std::string>* order = nullptr;
  std::string seen;

  void doWork(TData& data, std::uint16_t) {
    seen = ToString(data).str();
    if (order) order->push_back(name);
    DeferString(data, next, RcString(seen + name));
  }
};

TEST(Dispatch, InertDispatchFiresAndReadsNothing) {
  StopDispatch();
  Recorder r;
  FireInteger(r.Link(), 5);
  FireNull(r.Link());
  EXPECT_EQ(r.Count(), 0u);

  test::Answer answer{Int(9)};
  TData in = Int(7);
  EXPECT_EQ(ReadInteger(in, answer.Link(), 0), 0);
  EXPECT_EQ(ReadString(in, answer.Link(), RcString()), "");
  EXPECT_EQ(answer.asked, 0);
  EXPECT_EQ(in.IData, 7);  // a connected point never falls back, live or not
}

class FiringTest : public test::LiveDispatchTest {};

TEST_F(FiringTest, DeferredChainRunsFlatAndSeesPreviousValue) {
  std::vector<std::string> order;
  Stage a{"a", {}, &order}, b{"b", {}, &order}, c{"c", {}, &order};
  a.next = MakePoint<&Stage::doWork>(0, &b);
  b.next = MakePoint<&Stage::doWork>(0, &c);
  TData d = Str(">");
  FireEvent(MakePoint<&Stage::doWork>(0, &a), d);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(b.seen, ">a");
  EXPECT_EQ(c.seen, ">ab");
  // The last stage deferred to an unconnected link: the caller keeps the
  // value with the flag cleared.
  EXPECT_EQ(d.DataType, TagString);
  EXPECT_EQ(d.SData, ">abc");
}

TEST_F(FiringTest, DeferDataKeepsFlagWhenValueArrivesFlagged) {
  Recorder r;
  TData flagged = Int(4);
  flagged.DataType |= DeferredFlag;  // e.g. a value captured mid-dispatch
  struct Forward {
    TPointLink out;
    TData value;
    void doWork(TData& data, std::uint16_t) { DeferData(data, out, value); }
  } forward{r.Link(), flagged};
  FireNull(MakePoint<&Forward::doWork>(0, &forward));
  ASSERT_EQ(r.Count(), 1u);
  EXPECT_EQ(r.Last().DataType, TagInteger);
}

// The typed defers replace the value and its chain; DeferData hands on the
// chain it is given.
TEST_F(FiringTest, DeferOperationsSetTagAndChain) {
  TData tail = Int(2);
  TData d = Int(1);
  d.Next = &tail;
  TPointLink link;
  DeferString(d, link, RcString("s"));
  EXPECT_EQ(d.DataType, TagString | DeferredFlag);
  EXPECT_EQ(d.DeferredPoint, &link);
  EXPECT_EQ(d.Next, nullptr);

  TData chained = Int(5);
  chained.Next = &tail;
  DeferData(d, link, chained);
  EXPECT_EQ(d.DataType, TagInteger | DeferredFlag);
  EXPECT_EQ(d.Next, &tail);
}

}  // namespace
}  // namespace vn
