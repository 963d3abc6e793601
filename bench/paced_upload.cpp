// How much time the host adds to each block on a real-speed line: the
// simulator paces a 38462-baud line, the host side is the serial component
// driven as the upload drives it (one doWrite per image byte, then wait for
// the two-byte acknowledgement that the reader thread reads).
#include <stdio.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <string>

#include "components/serial/com_async.h"
#include "components/serial/serial_port_map_posix.h"
#include "core/dispatch.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBaud = 38462.0;
constexpr double kBitsPerByte = 10.0;

struct Replies {
  std::mutex mutex;
  std::condition_variable arrived;
  std::string bytes;
  std::int32_t opened = -1;

  void doRead(vn::TData& data, std::uint16_t) {
    std::lock_guard lock(mutex);
    bytes += data.SData.view();
    arrived.notify_all();
  }
  void doOpen(vn::TData& data, std::uint16_t) { opened = data.IData; }

  bool Take(std::size_t count, std::string& out) {
    std::unique_lock lock(mutex);
    if (!arrived.wait_for(lock, std::chrono::seconds(5), [&] { return bytes.size() >= count; })) return false;
    out = bytes.substr(0, count);
    bytes.erase(0, count);
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int blocks = argc > 1 ? std::atoi(argv[1]) : 40;
  const std::string command = std::string(VN_SIMULATOR) + " --baud 38462 --timeout 10 --blocks " +
                              std::to_string(blocks);
  FILE* simulator = popen(command.c_str(), "r");
  char line[256] = {};
  if (simulator == nullptr || fgets(line, sizeof line, simulator) == nullptr) return 1;
  std::string pty(line + 4);
  pty.erase(pty.find_last_not_of("\r\n") + 1);
  vn::serial::SetPortMap(std::vector<vn::serial::PortMapEntry>{{"COM7", pty}});

  vn::StartDispatch();
  vn::TVNComAsync port;
  port.Baud = 38462;
  port.DataBits = 3;
  port.AbortOnError = true;
  port.InQueue = port.OutQueue = 4096;
  port.EvRxChar = true;
  port.ReadInterval = 0xFFFFFFFF;
  port.WriteTotalConstant = 1000;
  port.WriteTotalMultiplier = 100;
  Replies replies;
  port.onRxChar = vn::MakePoint<&vn::TVNComAsync::doRead>(0, &port);
  port.onRead = vn::MakePoint<&Replies::doRead>(0, &replies);
  port.onOpen = vn::MakePoint<&Replies::doOpen>(0, &replies);
  vn::TData name = vn::StringData(vn::RcString("COM7"));
  port.doOpen(name, 0);
  if (replies.opened != 7) return 1;

  std::string reply;
  vn::TData vers = vn::StringData(vn::RcString("VERS"));
  port.doWrite(vers, 0);
  if (!replies.Take(1, reply)) return 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  {
    std::lock_guard lock(replies.mutex);
    replies.bytes.clear();
  }

  const auto start = Clock::now();
  for (int block = 1; block <= blocks; ++block) {
    for (int i = 0; i < 256; ++i) {
      vn::TData byte = vn::StringData(vn::RcString(std::string(1, static_cast<char>(block * 7 + i))));
      port.doWrite(byte, 0);
    }
    if (!replies.Take(block == blocks ? 4 : 2, reply)) {
      std::fprintf(stderr, "no answer to block %d\n", block);
      return 1;
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  vn::TData done = vn::StringData(vn::RcString("PUSK"));
  port.doWrite(done, 0);
  vn::TData none;
  port.doClose(none, 0);
  pclose(simulator);

  const double lineSecondsPerBlock = (256.0 + 2.0) * kBitsPerByte / kBaud;
  const double perBlock = seconds / blocks;
  const double wholeImageLine = 508 * lineSecondsPerBlock;
  std::printf("paced upload, %d blocks at 38462 baud:\n", blocks);
  std::printf("  line time per block  %8.2f ms\n", lineSecondsPerBlock * 1e3);
  std::printf("  measured per block   %8.2f ms\n", perBlock * 1e3);
  std::printf("  host adds per block  %8.2f ms\n", (perBlock - lineSecondsPerBlock) * 1e3);
  std::printf("  whole image: line limit %.1f s, at this rate %.1f s\n", wholeImageLine, perBlock * 508);
  return 0;
}
