#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/debug_message.h"
#include "core/dispatch.h"
#include "core/multi_element.h"
#include "core/startup.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Int;
using test::Recorder;

std::vector<int> gDestroyed;  // instance serials, in destruction order
int gNextSerial = 0;

// Counts calls and announces each count outward.
struct Tally {
  int count = 0;
  TPointLink out;
  void doWork(TData& data, std::uint16_t) { DeferInteger(data, out, ++count); }
  void varCount(TData& data, std::uint16_t) { dtInteger(data, count); }
};

// Reads the container's data point through the edge, default 77.
struct InnerReader {
  TPointLink Data;
  std::int32_t got = 0;
  void doWork(TData& data, std::uint16_t) { got = ReadInteger(data, Data, 77); }
};

struct StartupProbe {
  int runs = 0;
  StartupProbe() { RegisterStartup<&StartupProbe::Start>(this); }
  StartupProbe(const StartupProbe&) = delete;
  StartupProbe& operator=(const StartupProbe&) = delete;
  ~StartupProbe() { UnregisterStartup(this); }
  void Start() { ++runs; }
};

// A nested scheme built like the generated ones: edge first, components,
// then the wiring. onWork[0] counts, onWork[1] echoes outward on event 1,
// onWork[2] reads the container's Data[0].
class TestScheme : public TClassMultiBase {
 public:
  TestScheme(TVNMultiElementEx& container, void* owner, HostWindow* parent)
      : TClassMultiBase(owner, parent), serial(++gNextSerial) {
    edge_ = std::make_unique<TVNEditMultiEx>();
    edge_->onWork.resize(3);
    edge_->Value.resize(2);
    tally = std::make_unique<Tally>();
    reader = std::make_unique<InnerReader>();
    startup = std::make_unique<StartupProbe>();
    Edge = edge_.get();
    Edge->Scheme = this;
    Edge->Container = &container;
    Edge->onWork[0] = MakePoint<&Tally::doWork>(0, tally.get());
    Edge->onWork[1] = MakePoint<&TVNEditMultiEx::doEvent>(1, Edge);
    Edge->onWork[2] = MakePoint<&InnerReader::doWork>(0, reader.get());
    Edge->Value[0] = MakePoint<&Tally::varCount>(0, tally.get());
    tally->out = MakePoint<&TVNEditMultiEx::doEvent>(0, Edge);
    reader->Data = MakePoint<&TVNEditMultiEx::varData>(0, Edge);
  }
  ~TestScheme() override {
    gDestroyed.push_back(serial);
    startup.reset();
    reader.reset();
    tally.reset();
    edge_.reset();
  }

  int serial;
  std::unique_ptr<Tally> tally;
  std::unique_ptr<InnerReader> reader;
  std::unique_ptr<StartupProbe> startup;

 private:
  std::unique_ptr<TVNEditMultiEx> edge_;
};

std::unique_ptr<TClassMultiBase> CreateTestScheme(TVNMultiElementEx& container,
                                                  HostWindow* parent, void* owner) {
  return std::make_unique<TestScheme>(container, owner, parent);
}

TestScheme& SchemeOf(TVNEditMultiEx* edge) { return *static_cast<TestScheme*>(edge->Scheme); }

class MultiElementTest : public test::LiveDispatchTest {
 protected:
  void SetUp() override {
    test::LiveDispatchTest::SetUp();
    gDestroyed.clear();
    previousHook_ = SetDebugMessageHook([this](std::string_view text) { messages.emplace_back(text); });
    SetStarted(false);
  }
  void TearDown() override {
    SetDebugMessageHook(previousHook_);
    RunStartup();  // destroyed probes must have left no step behind
    test::LiveDispatchTest::TearDown();
  }

  std::unique_ptr<TVNMultiElementEx> MakeContainer(std::uint8_t mode) {
    auto container = std::make_unique<TVNMultiElementEx>(nullptr);
    container->Mode = mode;
    container->onEvent.resize(2);
    container->Data.resize(1);
    container->onEvent[0] = events.Link();
    return container;
  }

  Recorder events;
  std::vector<std::string> messages;
  DebugMessageHook previousHook_;
};

TEST_F(MultiElementTest, StandingInstanceKeepsStateBetweenCalls) {
  auto container = MakeContainer(0);
  container->InitInstances(&CreateTestScheme);
  ASSERT_NE(container->Current, nullptr);
  ASSERT_EQ(container->Instances.size(), 1u);

  FireNull(MakePoint<&TVNMultiElementEx::doWork>(0, container.get()));
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(0, container.get()));
  ASSERT_EQ(events.Count(), 2u);
  EXPECT_EQ(events.hits[1].value.IData, 2);

  TData answer;
  ReadPoint(MakePoint<&TVNMultiElementEx::varValue>(0, container.get()), answer);
  EXPECT_EQ(answer.IData, 2);
  EXPECT_TRUE(gDestroyed.empty());
}

TEST_F(MultiElementTest, PerCallModeBuildsFreshInstanceEachTime) {
  auto container = MakeContainer(1);
  container->InitInstances(&CreateTestScheme);
  EXPECT_EQ(container->Current, nullptr);
  EXPECT_TRUE(container->Instances.empty());

  FireNull(MakePoint<&TVNMultiElementEx::doWork>(0, container.get()));
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(0, container.get()));
  ASSERT_EQ(events.Count(), 2u);
  EXPECT_EQ(events.hits[0].value.IData, 1);
  EXPECT_EQ(events.hits[1].value.IData, 1);
  EXPECT_EQ(gDestroyed.size(), 2u);

  TData answer;
  ReadPoint(MakePoint<&TVNMultiElementEx::varValue>(0, container.get()), answer);
  EXPECT_EQ(answer.IData, 0);
  EXPECT_EQ(gDestroyed.size(), 3u);
  EXPECT_TRUE(container->Instances.empty());
}

// Asks the container to delete instance 0 when it hears an event.
struct Deleter {
  TVNMultiElementEx* container = nullptr;
  void doEvent(TData&, std::uint16_t) { container->DeleteInstance(Int(0), 0xFFFF); }
};

TEST_F(MultiElementTest, SelfDestructionIsRefused) {
  auto container = MakeContainer(0);
  Deleter deleter{container.get()};
  container->onEvent[1] = MakePoint<&Deleter::doEvent>(0, &deleter);
  container->InitInstances(&CreateTestScheme);

  FireNull(MakePoint<&TVNMultiElementEx::doWork>(1, container.get()));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], SelfDestructionMessage);
  EXPECT_EQ(container->Instances.size(), 1u);
  EXPECT_NE(container->Current, nullptr);
  EXPECT_TRUE(gDestroyed.empty());

  // Outside the outward event the same request succeeds.
  container->DeleteInstance(Int(0), 0xFFFF);
  EXPECT_TRUE(container->Instances.empty());
  EXPECT_EQ(container->Current, nullptr);
  EXPECT_EQ(gDestroyed.size(), 1u);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(MultiElementTest, DeleteFiresFarewellWorkAndIgnoresUnknownNumbers) {
  auto container = MakeContainer(0);
  container->InitInstances(&CreateTestScheme);
  container->DeleteInstance(Int(1), 0);
  container->DeleteInstance(Int(-1), 0);
  EXPECT_EQ(container->Instances.size(), 1u);

  container->DeleteInstance(Int(0), 0);  // onWork[0] counts once before going
  ASSERT_EQ(events.Count(), 1u);
  EXPECT_EQ(events.Last().IData, 1);
  EXPECT_TRUE(container->Instances.empty());

  // Without a standing instance a call builds a temporary one.
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(0, container.get()));
  EXPECT_EQ(events.Count(), 2u);
  EXPECT_EQ(gDestroyed.size(), 2u);
}

TEST_F(MultiElementTest, DestructionIsNewestFirstWithoutFiring) {
  auto container = MakeContainer(0);
  container->InitInstances(&CreateTestScheme);
  container->InitInstances(&CreateTestScheme);
  ASSERT_EQ(container->Instances.size(), 2u);
  const int older = SchemeOf(container->Instances[0].Edge).serial;
  const int newer = SchemeOf(container->Instances[1].Edge).serial;
  container.reset();
  EXPECT_EQ(gDestroyed, (std::vector<int>{newer, older}));
  EXPECT_EQ(events.Count(), 0u);
}

TEST_F(MultiElementTest, UnconnectedDataPointsFallBackOnBothSides) {
  auto container = MakeContainer(0);
  container->InitInstances(&CreateTestScheme);
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(2, container.get()));
  EXPECT_EQ(SchemeOf(container->Current).reader->got, 77);

  test::Answer outerAnswer{Int(5)};
  container->Data[0] = outerAnswer.Link();
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(2, container.get()));
  EXPECT_EQ(SchemeOf(container->Current).reader->got, 5);

  // Edge Value[1] is unconnected: an outer reader falls back to its default.
  TData in;
  EXPECT_EQ(ReadInteger(in, MakePoint<&TVNMultiElementEx::varValue>(1, container.get()), 33), 33);
  // Indexes beyond the configured counts are ignored rather than trusted.
  EXPECT_EQ(ReadInteger(in, MakePoint<&TVNMultiElementEx::varValue>(9, container.get()), 34), 34);
  FireNull(MakePoint<&TVNMultiElementEx::doWork>(9, container.get()));
}

TEST_F(MultiElementTest, StartupStepsOfLateInstancesRunAfterBuilding) {
  auto early = MakeContainer(0);
  early->InitInstances(&CreateTestScheme);
  EXPECT_EQ(SchemeOf(early->Current).startup->runs, 0);  // waits for the application
  RunStartup();
  EXPECT_EQ(SchemeOf(early->Current).startup->runs, 1);
  ASSERT_TRUE(Started());

  auto late = MakeContainer(0);
  late->InitInstances(&CreateTestScheme);
  EXPECT_EQ(SchemeOf(late->Current).startup->runs, 1);
  EXPECT_TRUE(Started());
  EXPECT_EQ(SchemeOf(early->Current).startup->runs, 1);
}

struct Step {
  std::vector<std::string>* log;
  std::string name;
  Step* registersAnother = nullptr;
  void Run() {
    log->push_back(name);
    if (registersAnother != nullptr) RegisterStartup<&Step::Run>(registersAnother);
  }
};

TEST(Startup, RunsInOrderIncludingStepsRegisteredMeanwhile) {
  std::vector<std::string> log;
  Step late{&log, "late"};
  Step first{&log, "first", &late};
  Step second{&log, "second"};
  SetStarted(false);
  RegisterStartup<&Step::Run>(&first);
  RegisterStartup<&Step::Run>(&second);
  RunStartup();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "late"}));
  EXPECT_TRUE(Started());

  RunStartup();  // the list was emptied
  EXPECT_EQ(log.size(), 3u);
}

TEST(Startup, UnregisteredTargetIsSkipped) {
  std::vector<std::string> log;
  Step gone{&log, "gone"};
  Step kept{&log, "kept"};
  RegisterStartup<&Step::Run>(&gone);
  RegisterStartup<&Step::Run>(&kept);
  UnregisterStartup(&gone);
  RunStartup();
  EXPECT_EQ(log, (std::vector<std::string>{"kept"}));
}

}  // namespace
}  // namespace vn
