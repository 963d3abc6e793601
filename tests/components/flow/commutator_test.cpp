#include "components/flow/commutator.h"

#include "components/flow/hub.h"
#include "tests/components/flow/flow_test_points.h"

namespace vn::test {
namespace {

class CommutatorTest : public LiveDispatchTest {
 protected:
  CommutatorTest() {
    sw.SetOutCount(3);
    sw.onEvent = {outs[0].Link(), outs[1].Link(), outs[2].Link()};
  }
  void Hit(std::uint16_t input) {
    TData value = Int(7);
    FireEvent(MakePoint<&TVNCommutator::doWork>(input, &sw), value);
  }

  TVNCommutator sw;
  Journal journal;
  ChainLog outs[3] = {{&journal, "out0"}, {&journal, "out1"}, {&journal, "out2"}};
};

TEST_F(CommutatorTest, UnconnectedControlsSendAFreshCopyToEveryOutputInOrder) {
  Clobber clobber;
  sw.onEvent[1] = clobber.Link();
  std::vector<TData> chain = {Str("a"), Int(2)};
  TData value = LinkChain(chain);
  sw.doWork(value, 5);
  EXPECT_EQ(journal, (Journal{"out0=S:a I:2", "out2=S:a I:2"}));
  EXPECT_EQ(ChainText(value), "S:a I:2");  // the controls took nothing
}

struct RouteCase {
  const char* name;
  std::int32_t inIndex, outIndex;
  std::uint16_t hitInput;
  Journal fired;
};

TEST_F(CommutatorTest, RoutesByInIndexAndOutIndex) {
  const std::vector<RouteCase> cases = {
      {"InIndex matches", 1, -1, 1, {"out0=I:7", "out1=I:7", "out2=I:7"}},
      {"InIndex differs", 1, -1, 0, {}},
      {"negative InIndex lets all in", -5, 2, 9, {"out2=I:7"}},
      {"single output", -1, 1, 0, {"out1=I:7"}},
      {"OutIndex equal to OutCount", -1, 3, 0, {}},
      {"InIndex above 16 bits never matches", 65536, -1, 0, {}},
  };
  for (const RouteCase& c : cases) {
    SCOPED_TRACE(c.name);
    journal.clear();
    Answer in{Int(c.inIndex)}, out{Int(c.outIndex)};
    sw.InIndex = in.Link();
    sw.OutIndex = out.Link();
    Hit(c.hitInput);
    EXPECT_EQ(journal, c.fired);
  }
}

// An output that shrinks its commutator while the all-outputs pass runs.
struct Shrinker {
  TVNCommutator* sw;
  void doEvent(TData&, std::uint16_t) {
    sw->SetOutCount(1);
    sw->onEvent.shrink_to_fit();  // so that AddressSanitizer sees an overrun
  }
};

TEST_F(CommutatorTest, NeverReachesPastTheArray) {
  sw.onEvent.resize(1);  // the array shrunk behind the count
  sw.onEvent.shrink_to_fit();
  Hit(0);
  Answer out{Int(2)};
  sw.OutIndex = out.Link();
  Hit(0);
  Shrinker shrinker{&sw};
  sw.OutIndex = {};
  sw.SetOutCount(3);
  sw.onEvent[1] = MakePoint<&Shrinker::doEvent>(0, &shrinker);
  Hit(0);  // the shrinking output ends the pass
  EXPECT_EQ(journal, (Journal{"out0=I:7", "out0=I:7"}));
}

using HubTest = LiveDispatchTest;

TEST_F(HubTest, OutputsFireInOrderEachWithItsOwnCopyOfTheIncomingValue) {
  TVNHub hub;
  Journal journal;
  ChainLog first{&journal, "out0"}, last{&journal, "out2"};
  Clobber clobber;
  hub.SetOutCount(3);
  hub.onEvent = {first.Link(), clobber.Link(), last.Link()};
  TData value = Str("v");
  hub.doEvent(value, 7);  // every input index acts alike
  EXPECT_EQ(journal, (Journal{"out0=S:v", "out2=S:v"}));
  EXPECT_EQ(ChainText(value), "S:v");  // unchanged, nothing deferred
}

// Output 0 fires back into the hub once; the nested pass ends before output 1.
struct Reenter {
  TPointLink hub;
  Journal* log;
  int depth = 0;
  void doEvent(TData&, std::uint16_t) {
    log->push_back("out0@" + std::to_string(depth));
    if (depth++ == 0) FireInteger(hub, 1);
  }
};

TEST_F(HubTest, NestedPassFinishesBeforeTheNextOutput) {
  Journal log;
  TVNHub hub;
  hub.SetOutCount(2);
  Reenter reenter{MakePoint<&TVNHub::doEvent>(0, &hub), &log};
  ChainLog out1{&log, "out1"};
  hub.onEvent = {MakePoint<&Reenter::doEvent>(0, &reenter), out1.Link()};
  FireNull(MakePoint<&TVNHub::doEvent>(0, &hub));
  EXPECT_EQ(log, (Journal{"out0@0", "out0@1", "out1=I:1", "out1=N"}));
}

}  // namespace
}  // namespace vn::test
