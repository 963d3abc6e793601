// One single-byte doWrite on a pseudo-terminal, as the upload sends its
// 130 048 image bytes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "components/serial/com_async.h"
#include "components/serial/posix_descriptor.h"
#include "components/serial/serial_port_map_posix.h"
#include "core/dispatch.h"

namespace vn {
namespace {

struct OpenResult {
  std::int32_t number = -1;
  void doOpen(TData& data, std::uint16_t) { number = data.IData; }
};

// The application's line settings.
void ConfigureLikeTheApplication(TVNComAsync& port) {
  port.Baud = 38462;
  port.DataBits = 3;
  port.AbortOnError = true;
  port.XonChar = 17;
  port.XoffChar = 19;
  port.InQueue = 4096;
  port.OutQueue = 4096;
  port.EvRxChar = true;
  port.ReadInterval = 0xFFFFFFFF;
  port.WriteTotalConstant = 1000;
  port.WriteTotalMultiplier = 100;
}

void BM_SingleByteDoWrite(benchmark::State& state) {
  serial::PosixDescriptor master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
  grantpt(master.Get());
  unlockpt(master.Get());
  serial::SetPortMap(std::vector<serial::PortMapEntry>{{"COM7", ptsname(master.Get())}});

  // The far end drains the line so the writes never wait for room.
  std::atomic<bool> done{false};
  std::thread drain([&] {
    char buffer[4096];
    while (!done) {
      pollfd p{master.Get(), POLLIN, 0};
      if (poll(&p, 1, 10) > 0) (void)!read(master.Get(), buffer, sizeof buffer);
    }
  });

  StartDispatch();
  TVNComAsync port;
  ConfigureLikeTheApplication(port);
  OpenResult opened;
  port.onOpen = MakePoint<&OpenResult::doOpen>(0, &opened);
  TData name = StringData(RcString("COM7"));
  port.doOpen(name, 0);
  if (opened.number != 7) state.SkipWithError("the pty did not open");

  const TData byte = StringData(RcString(std::string(1, '\x5A')));
  for (auto _ : state) {
    TData value = byte;
    port.doWrite(value, 0);
  }
  TData none;
  port.doClose(none, 0);
  StopDispatch();
  done = true;
  drain.join();
  serial::SetPortMap(std::nullopt);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SingleByteDoWrite);

}  // namespace
}  // namespace vn
