#include "components/flow/event_from_data.h"

#include <optional>

#include "components/flow/do_data.h"
#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

using EventFromDataTest = LiveDispatchTest;

TEST_F(EventFromDataTest, ReadAnnouncesWithTheReadersRecordThenAnswers) {
  TVNEventFromData store;
  Journal journal;
  ChainLog announced{&journal, "announced"};
  store.onEvent = announced.Link();
  TData answer = Str("reader's");
  store.varData(answer, 0);
  EXPECT_EQ(journal, Journal{"announced=S:reader's"});
  EXPECT_EQ(ChainText(answer), "N");  // nothing stored yet

  Clobber clobber;  // what the announced work leaves is overwritten
  store.onEvent = clobber.Link();
  TData value = Str("kept");
  store.doData(value, 0);
  store.varData(answer, 0);
  EXPECT_EQ(ChainText(answer), "S:kept");
}

// The chain is copied into nodes of its own; the old nodes are released on
// the next store (LeakSanitizer), and storing its own answer copies before
// it frees (AddressSanitizer).
TEST_F(EventFromDataTest, StoresTheWholeChainInItsOwnNodes) {
  TVNEventFromData store;
  for (int round = 0; round < 2; ++round) {
    std::vector<TData> chain = {Str("port"), Int(round), Str("x")};
    TData value = LinkChain(chain);
    store.doData(value, 0);
    EXPECT_EQ(ChainText(value), "N");  // the chain was taken whole
    chain[1].IData = 77;               // the source changes and goes away
  }
  TData answer;
  store.varData(answer, 0);
  EXPECT_EQ(ChainText(answer), "S:port I:1 S:x");

  store.Data = MakePoint<&TVNEventFromData::varData>(0, &store);
  store.doData(answer, 0);
  EXPECT_EQ(ChainText(store.Stored()), "S:port I:1 S:x");
}

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
