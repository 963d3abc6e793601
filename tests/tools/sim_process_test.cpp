// Runs the real simulator binary over a pty, the way the updater meets it.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/console/simulator_process.h"
#include "components/serial/posix_descriptor.h"
#include "tools/sim/crc16_modbus.h"

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

std::string HighLow(std::uint16_t crc) { return {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)}; }

std::string Hex4(std::uint16_t crc) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(crc));
  return text;
}

// --serve 2: the first device is flashed and goes away; for the gap the
// line is dead; then a second device takes its own image. A line each.
TEST(SimProcessTest, TwoDevicesInARowWithADeadGapBetween) {
  constexpr auto kGap = 500ms;
  const std::string save = ::testing::TempDir() + "sim_process_test_serve.bin";
  SimulatorProcess sim(VN_SIM_BINARY, {"--serve", "2", "--gap-ms", std::to_string(kGap.count()), "--blocks", "2",
                                       "--save", save, "--grace-ms", "20", "--timeout", "20"});
  const serial::PosixDescriptor host = OpenHostSide(sim);
  ASSERT_TRUE(host.Valid());
  const auto flash = [&](const std::string& image) {
    std::string replies;
    EXPECT_EQ(::write(host.Get(), "VERS", 4), 4);
    ReadUpTo(host.Get(), 18, replies);
    EXPECT_EQ(::write(host.Get(), image.data(), 256), 256);
    ReadUpTo(host.Get(), 18 + 2, replies);
    EXPECT_EQ(::write(host.Get(), image.data() + 256, 256), 256);
    ReadUpTo(host.Get(), 18 + 6, replies);
    EXPECT_EQ(replies, "BRANTELMOOR X1 2.1" + HighLow(Crc16Modbus(image.substr(0, 256))) +
                           HighLow(Crc16Modbus(image)) + "FZ");
    EXPECT_EQ(::write(host.Get(), "PUSK", 4), 4);
  };
  const auto line = [](int device, const std::string& image) {
    return R"({"device":)" + std::to_string(device) + R"(,"bytes":512,"blocks":2,"crc":")" +
           Hex4(Crc16Modbus(image)) + R"(","pusk":true,"vers":1,"extra":0,"error":null})";
  };
  std::string first;
  std::string second;
  for (int i = 0; i < 512; ++i) {
    first += static_cast<char>(i * 7);
    second += static_cast<char>(i * 11 + 1);
  }

  flash(first);
  EXPECT_EQ(sim.ReadLine(10s), line(1, first));
  // The gap began before the line was printed.
  const auto gapOver = std::chrono::steady_clock::now() + kGap + 100ms;
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  pollfd answer{host.Get(), POLLIN, 0};
  EXPECT_EQ(poll(&answer, 1, 150), 0) << "answered in the gap";
  std::this_thread::sleep_until(gapOver);

  flash(second);
  EXPECT_EQ(sim.ReadLine(10s), line(2, second));  // the VERS of the gap is not counted
  for (const auto& [suffix, image] : {std::pair{".1", first}, std::pair{".2", second}}) {
    std::ifstream saved(save + suffix, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), image) << suffix;
  }
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

TEST(SimProcessTest, EchoSurvivesReopeningWithStay) {
  SimulatorProcess sim(VN_SIM_BINARY, {"--echo", "--stay", "--timeout", "20"});
  const std::string bytes("\x00\x03\r\n\x7F\xFF", 6);
  for (int round = 0; round < 2; ++round) {
    const serial::PosixDescriptor host = OpenHostSide(sim);
    ASSERT_TRUE(host.Valid());
    ASSERT_EQ(::write(host.Get(), bytes.data(), bytes.size()), 6);
    std::string echoed;
    ReadUpTo(host.Get(), 6, echoed);
    EXPECT_EQ(echoed, bytes) << round;
  }
  sim.Terminate();
  EXPECT_EQ(sim.ReadLine(10s), R"({"bytes":12,"blocks":0,"crc":")" + Hex4(Crc16Modbus(bytes + bytes)) +
                                   R"(","pusk":false,"vers":0,"extra":0,"error":"terminated"})");
}

}  // namespace
}  // namespace vn::sim
