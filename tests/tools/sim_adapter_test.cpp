// The running simulator behind its emulated USB adapter: bytes that straddle
// a tick reach the host in separate reads, a tick apart. The times are large
// (a tick of 100 ms) so that a loaded machine does not blur them.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "components/serial/posix_descriptor.h"
#include "app/console/simulator_process.h"

namespace vn::sim {
namespace {

using Clock = std::chrono::steady_clock;

struct Read {
  Clock::time_point at;
  std::string bytes;
};

// Reads until `size` bytes came or nothing came for a while, each read with its time.
std::vector<Read> TimedReads(int fd, std::size_t size) {
  std::vector<Read> reads;
  std::size_t total = 0;
  while (total < size) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) break;
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    const Clock::time_point at = Clock::now();
    if (n <= 0) break;
    reads.push_back(Read{at, std::string(buffer, static_cast<std::size_t>(n))});
    total += static_cast<std::size_t>(n);
  }
  return reads;
}

TEST(SimAdapterTest, BytesStraddlingATickArriveATickApart) {
  // 167 baud: the three bytes of the reply leave the device 60 ms apart and
  // so span more than one tick of 100 ms, wherever the tick falls. Without
  // the adapter they would arrive 60 ms apart; through it, every read but
  // the first comes at a tick, 100 ms after the one before.
  SimulatorProcess sim(VN_SIM_BINARY, {"--baud", "167", "--reply", "ABC", "--adapter-tick-ms", "100",
                                              "--seed", "7", "--timeout", "20"});
  ASSERT_TRUE(sim.Started());
  const serial::PosixDescriptor host(::open(sim.Pty().c_str(), O_RDWR | O_NOCTTY));
  ASSERT_TRUE(host.Valid());
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  const std::vector<Read> reads = TimedReads(host.Get(), 3);
  std::string bytes;
  for (const Read& read : reads) bytes += read.bytes;
  EXPECT_EQ(bytes, "ABC");
  ASSERT_GE(reads.size(), 2U);
  for (std::size_t i = 1; i < reads.size(); ++i) {
    const auto apart = std::chrono::duration_cast<std::chrono::milliseconds>(reads[i].at - reads[i - 1].at);
    EXPECT_GE(apart.count(), 75) << "read " << i;
    EXPECT_LE(apart.count(), 150) << "read " << i;
  }
}

}  // namespace
}  // namespace vn::sim
