// How fast values travel through wired components.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "components/flow/do_data.h"
#include "components/flow/hub.h"
#include "core/dispatch.h"

namespace vn {
namespace {

struct Sink {
  std::int64_t hits = 0;
  void doEvent(TData&, std::uint16_t) { ++hits; }
};

// entry -> hub -> emitter -> hub -> emitter ... five of each -> sink: ten
// component calls per fired event, as in a scheme's fan-out paths.
void BM_FiveHubsAndEmitters(benchmark::State& state) {
  std::vector<std::unique_ptr<TVNHub>> hubs;
  std::vector<std::unique_ptr<TVNDoData>> emitters;
  Sink sink;
  for (int i = 0; i < 5; ++i) {
    hubs.push_back(std::make_unique<TVNHub>());
    hubs.back()->SetOutCount(1);
    emitters.push_back(std::make_unique<TVNDoData>());
    emitters.back()->Data = IntegerData(i);
  }
  for (std::size_t i = 0; i < 5; ++i) {
    hubs[i]->onEvent[0] = MakePoint<&TVNDoData::doData>(0, emitters[i].get());
    emitters[i]->onEventData = i + 1 < 5 ? MakePoint<&TVNHub::doEvent>(0, hubs[i + 1].get())
                                         : MakePoint<&Sink::doEvent>(0, &sink);
  }
  const TPointLink entry = MakePoint<&TVNHub::doEvent>(0, hubs[0].get());
  StartDispatch();
  for (auto _ : state) FireInteger(entry, 1);
  StopDispatch();
  if (sink.hits != state.iterations()) state.SkipWithError("values were lost");
  state.SetItemsProcessed(state.iterations());
  state.counters["component_calls/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 10, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FiveHubsAndEmitters);

struct Increment {
  TPointLink next;
  void doWork(TData& data, std::uint16_t) { DeferInteger(data, next, data.IData + 1); }
};

// Cost of one deferred link: a long pipeline run by the dispatch loop.
void BM_DeferredLink(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  std::vector<Increment> stages(length);
  for (std::size_t i = 0; i + 1 < length; ++i) {
    stages[i].next = MakePoint<&Increment::doWork>(0, &stages[i + 1]);
  }
  const TPointLink entry = MakePoint<&Increment::doWork>(0, &stages[0]);
  StartDispatch();
  for (auto _ : state) {
    TData value = IntegerData(0);
    FireEvent(entry, value);
    benchmark::DoNotOptimize(value.IData);
  }
  StopDispatch();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DeferredLink)->Arg(1000)->Arg(100000);

}  // namespace
}  // namespace vn
