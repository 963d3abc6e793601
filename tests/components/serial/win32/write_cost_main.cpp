// What one single-byte doWrite costs on the simulator's port: the upload
// sends its image this way, one call per byte. Run through the wine
// harness with the simulator as the device (it ignores the bytes):
//   wine_serial_harness.sh --sim ... --shim ... --sim-arg --stay -- serial_write_cost.exe
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "components/serial/com_async.h"
#include "core/dispatch.h"
#include "core/rc_string.h"
#include "core/tdata.h"
#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/win32/sim_port.h"

namespace {

// The image of the upload: 508 blocks of 256 bytes.
constexpr int kWrites = 130048;
constexpr int kWarmUp = 1000;

struct WriteCounter {
  std::int64_t bytes = 0;
  int calls = 0;
  void doEvent(vn::TData& data, std::uint16_t /*index*/) {
    bytes += data.IData;
    ++calls;
  }
};

}  // namespace

int main() {
  vn::StartDispatch();
  vn::TVNComAsync com;
  vn::test::UseMainSchemeSettings(com);
  com.Port = vn::test::kSimPort;
  WriteCounter written;
  com.onWrite = vn::MakePoint<&WriteCounter::doEvent>(0, &written);

  vn::TData none;
  com.doOpen(none, 0);
  if (!com.Opened()) {
    std::fprintf(stderr, "cannot open %s\n", vn::test::kSimPort);
    return 1;
  }
  vn::TData byte = vn::StringData(vn::RcString("U"));
  for (int i = 0; i < kWarmUp; ++i) com.doWrite(byte, 0);

  written = WriteCounter{};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kWrites; ++i) com.doWrite(byte, 0);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  com.doClose(none, 0);

  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
  std::printf("%d single-byte writes in %.3f s: %.0f ns per write (%lld bytes reported written in %d events)\n",
              kWrites, static_cast<double>(ns) / 1e9, static_cast<double>(ns) / kWrites,
              static_cast<long long>(written.bytes), written.calls);
  return written.bytes == kWrites && written.calls == kWrites ? 0 : 1;
}
