#include "components/flow/event_from_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "tests/components/flow/flow_test_points.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::ChainText;

class EventFromDataTest : public test::LiveDispatchTest {};

TEST_F(EventFromDataTest, ReadBeforeAnyStoreAnnouncesThenAnswersNull) {
  TVNEventFromData store;
  test::Recorder announced;
  store.onEvent = announced.Link();
  TData answer;
  ReadPoint(MakePoint<&TVNEventFromData::varData>(0, &store), answer);
  EXPECT_EQ(announced.Count(), 1u);
  EXPECT_EQ(ChainText(answer), "N");
}

TEST_F(EventFromDataTest, StoresTheWholeIncomingChainInItsOwnNodes) {
  TVNEventFromData store;
  {
    std::vector<TData> chain = {test::Str("port"), test::Int(2), test::Str("x")};
    test::LinkChain(chain);
    TData value = chain[0];
    store.doData(value, 0);
    EXPECT_EQ(value.DataType, TagNull);  // the chain was taken whole
    EXPECT_EQ(value.Next, nullptr);
    // The source nodes change and go away; the stored copy must not notice.
    chain[1].IData = 77;
  }
  TData answer;
  store.varData(answer, 0);
  EXPECT_EQ(ChainText(answer), "S:port I:2 S:x");
}

TEST_F(EventFromDataTest, ConnectedPointWinsAndBreakFallsBackToIncoming) {
  TVNEventFromData store;
  test::Answer source;
  store.Data = source.Link();

  source.value = test::Int(5);
  TData value = test::Str("ignored");
  store.doData(value, 0);
  EXPECT_EQ(ChainText(store.Stored()), "I:5");
  EXPECT_EQ(ChainText(value), "S:ignored");  // not consumed

  source.value = test::Break();
  value = test::Str("incoming");
  store.doData(value, 0);
  EXPECT_EQ(ChainText(store.Stored()), "S:incoming");
}

// Work announced by onEvent that stores a fresh value before the read ends.
struct Refresher {
  TVNEventFromData* store;
  int next = 0;
  void doEvent(TData&, std::uint16_t) {
    TData value = test::Int(++next);
    store->doData(value, 0);
  }
};

TEST_F(EventFromDataTest, ReadAnswersTheValueStoredByTheAnnouncedWork) {
  TVNEventFromData store;
  Refresher refresher{&store};
  store.onEvent = MakePoint<&Refresher::doEvent>(0, &refresher);
  TData value = test::Int(100);
  store.doData(value, 0);

  const TPointLink read = MakePoint<&TVNEventFromData::varData>(0, &store);
  TData first;
  ReadPoint(read, first);
  TData second;
  ReadPoint(read, second);
  EXPECT_EQ(ChainText(first), "I:1");
  EXPECT_EQ(ChainText(second), "I:2");
}

TEST_F(EventFromDataTest, AnnouncementGetsTheReadersOwnRecord) {
  TVNEventFromData store;
  test::Clobber clobber;
  store.onEvent = clobber.Link();
  TData value = test::Str("kept");
  store.doData(value, 0);
  TData answer;
  store.varData(answer, 0);
  EXPECT_EQ(ChainText(answer), "S:kept");  // the answer overwrites what the event left
}

// Its own Data point reads its own chain: the new copy is made before the
// old nodes are freed (ASan would report the use after free otherwise).
TEST_F(EventFromDataTest, StoringItsOwnAnswerIsSafe) {
  TVNEventFromData store;
  std::vector<TData> chain = {test::Int(1), test::Int(2), test::Int(3)};
  test::LinkChain(chain);
  TData value = chain[0];
  store.doData(value, 0);

  store.Data = MakePoint<&TVNEventFromData::varData>(0, &store);
  TData again;
  store.doData(again, 0);
  EXPECT_EQ(ChainText(store.Stored()), "I:1 I:2 I:3");
}

TEST_F(EventFromDataTest, ReplacingAChainReleasesTheOldNodes) {
  // Leaks would be reported by LeakSanitizer at exit.
  TVNEventFromData store;
  for (int round = 0; round < 3; ++round) {
    std::vector<TData> chain = {test::Int(round), test::Str("a"), test::Str("b")};
    test::LinkChain(chain);
    TData value = chain[0];
    store.doData(value, 0);
  }
  TData single = test::Str("z");
  store.doData(single, 0);
  EXPECT_EQ(ChainText(store.Stored()), "S:z");
}

}  // namespace
}  // namespace vn
