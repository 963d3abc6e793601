// Runs the real simulator binary over a pty, the way the updater meets it.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "app/console/simulator_process.h"
#include "components/serial/posix_descriptor.h"

namespace vn::sim {
namespace {

using namespace std::chrono_literals;

// Generous: only a hung simulator should ever reach it.
constexpr int kPatienceMs = 10000;

// Appends to `out` until it holds `size` bytes or a read finds nothing in time.
void ReadUpTo(int fd, std::size_t size, std::string& out) {
  while (out.size() < size) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kPatienceMs) <= 0) return;
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, size - out.size()));
    if (n <= 0) return;
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

// Opens the simulator's pty as the updater would.
serial::PosixDescriptor OpenHostSide(const SimulatorProcess& sim) {
  return serial::PosixDescriptor(sim.Started() ? ::open(sim.Pty().c_str(), O_RDWR | O_NOCTTY) : -1);
}

// A port scan (open, close, no byte) does not end the run: the device is
// still there for the host that comes to talk, and its hanging up ends it.
TEST(SimProcessTest, AHostLeavingWithoutAWordIsWaitedFor) {
  SimulatorProcess sim(VN_SIM_BINARY, {"--timeout", "20"});
  {
    const serial::PosixDescriptor scan = OpenHostSide(sim);
    ASSERT_TRUE(scan.Valid());
    std::this_thread::sleep_for(50ms);  // the simulator sees it come and go
  }
  std::this_thread::sleep_for(50ms);
  serial::PosixDescriptor host = OpenHostSide(sim);
  ASSERT_TRUE(host.Valid());
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  std::string reply;
  ReadUpTo(host.Get(), 18, reply);
  EXPECT_EQ(reply, "BRANTELMOOR X1 2.1");
  host.Reset();
  EXPECT_EQ(sim.ReadLine(10s),
            R"({"bytes":0,"blocks":0,"crc":"FFFF","pusk":false,"vers":1,"extra":0,"error":"host hung up"})");
}

// One line a write: blocks received, when due and when written (µs), the bytes.
TEST(SimProcessTest, WriteLogTellsEachWriteWithItsTimes) {
  const std::string path = ::testing::TempDir() + "sim_write_log.txt";
  SimulatorProcess sim(VN_SIM_BINARY, {"--write-log", path});
  serial::PosixDescriptor host = OpenHostSide(sim);
  ASSERT_TRUE(host.Valid());
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  std::string reply;
  ReadUpTo(host.Get(), 18, reply);
  host.Reset();
  ASSERT_NE(sim.ReadLine(10s), "");
  std::ifstream log(path);
  long long blocks = -1, due = 0, written = 0;
  std::string bytes;
  ASSERT_TRUE(log >> blocks >> due >> written >> bytes);
  EXPECT_EQ(blocks, 0);
  EXPECT_GE(written, due);
  EXPECT_EQ(bytes, "4252414E54454C4D4F4F5220583120322E31");  // "BRANTELMOOR X1 2.1" in one write
  EXPECT_FALSE(log >> blocks) << "one write only";
}

}  // namespace
}  // namespace vn::sim
