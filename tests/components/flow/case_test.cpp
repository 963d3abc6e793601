#include "components/flow/case.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Journal = std::vector<std::string>;

class CaseTest : public test::LiveDispatchTest {};

struct MatchCase {
  const char* name;
  TData value;
  TData incoming;
  bool matches;
};

TEST_F(CaseTest, IncomingValueDecidesTheKindOfTheComparison) {
  const std::vector<MatchCase> cases = {
      {"Integer 5 against text 5", test::Str("5"), test::Int(5), true},
      {"text 05 against Integer 5", test::Int(5), test::Str("05"), false},
      {"text 5 against Integer 5", test::Int(5), test::Str("5"), true},
      {"NULL against NULL", TData{}, TData{}, true},
      {"NULL against Integer 0", test::Int(0), TData{}, false},
      {"Integer 0 against NULL", TData{}, test::Int(0), true},
      {"letter case counts", test::Str("vers"), test::Str("VERS"), false},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    Journal journal;
    test::ChainLog match{&journal, "match"};
    test::ChainLog next{&journal, "next"};
    TVNCase arm;
    arm.Value = c.value;
    arm.Result = test::Str("R");
    arm.onMatch = match.Link();
    arm.onNextCase = next.Link();
    TData value = c.incoming;
    FireEvent(MakePoint<&TVNCase::doCase>(0, &arm), value);
    const std::string expected =
        c.matches ? "match=S:R" : "next=" + test::ChainText(c.incoming);
    EXPECT_EQ(journal, Journal{expected});
  }
}

TEST_F(CaseTest, ChainedCasesStopAtTheFirstMatch) {
  Journal journal;
  test::ChainLog match{&journal, "match"};
  test::ChainLog unmatched{&journal, "unmatched"};
  TVNCase one;
  TVNCase two;
  TVNCase alsoTwo;
  one.Value = test::Int(1);
  one.Result = test::Str("one");
  two.Value = test::Int(2);
  two.Result = test::Str("two");
  alsoTwo.Value = test::Int(2);
  alsoTwo.Result = test::Str("late");
  one.onMatch = two.onMatch = alsoTwo.onMatch = match.Link();
  one.onNextCase = MakePoint<&TVNCase::doCase>(0, &two);
  two.onNextCase = MakePoint<&TVNCase::doCase>(0, &alsoTwo);
  alsoTwo.onNextCase = unmatched.Link();

  const TPointLink first = MakePoint<&TVNCase::doCase>(0, &one);
  FireInteger(first, 2);
  FireInteger(first, 3);
  EXPECT_EQ(journal, (Journal{"match=S:two", "unmatched=I:3"}));
}

TEST_F(CaseTest, UnsetResultMatchesWithNullAndFiringIsImmediate) {
  Journal journal;
  test::ChainLog match{&journal, "match"};
  TVNCase arm;
  arm.Value = test::Int(0);
  arm.onMatch = match.Link();
  TData value = test::Int(0);
  arm.doCase(value, 0);
  EXPECT_EQ(journal, Journal{"match=N"});
  EXPECT_EQ(value.DataType & DeferredFlag, 0);
}

TEST_F(CaseTest, OnlyTheHeadIsComparedButTheWholeChainGoesOn) {
  Journal journal;
  test::ChainLog next{&journal, "next"};
  TVNCase arm;
  arm.Value = test::Int(2);  // matches the second value, which must not count
  arm.onNextCase = next.Link();
  std::vector<TData> chain = {test::Int(1), test::Int(2)};
  test::LinkChain(chain);
  TData value = chain[0];
  arm.doCase(value, 0);
  EXPECT_EQ(journal, Journal{"next=I:1 I:2"});
}

}  // namespace
}  // namespace vn
