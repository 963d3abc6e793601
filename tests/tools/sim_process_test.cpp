// Runs the real simulator binary over a pty, the way the later tests will.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/sim/crc16_modbus.h"
#include "components/serial/posix_descriptor.h"

extern char** environ;

namespace vn::sim {
namespace {

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

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    stdout_ = serial::PosixDescriptor(pipeFds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    args.insert(args.begin(), VN_SIM_BINARY);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, VN_SIM_BINARY, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  std::string ReadLine() {
    std::string line;
    while (line.empty() || line.back() != '\n') {
      const std::size_t had = line.size();
      ReadUpTo(stdout_.Get(), had + 1, line);
      if (line.size() == had) return line;
    }
    line.pop_back();
    return line;
  }

  // Opens the slave named on the first line, as the updater would.
  serial::PosixDescriptor OpenHostSide() {
    if (slavePath_.empty()) {
      const std::string first = ReadLine();
      if (first.rfind("PTY ", 0) == 0) slavePath_ = first.substr(4);
    }
    return serial::PosixDescriptor(slavePath_.empty() ? -1 : ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY));
  }

  void Terminate() {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }

  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(std::exchange(pid_, -1), &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  serial::PosixDescriptor stdout_;
  std::string slavePath_;
};

std::string HighLow(std::uint16_t crc) { return {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)}; }

std::string Hex4(std::uint16_t crc) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(crc));
  return text;
}

// --serve 2: the first device is flashed and goes away; for the gap the
// line is dead; then a second device takes its own image. A line each.
TEST(SimProcessTest, TwoDevicesInARowWithADeadGapBetween) {
  constexpr auto kGap = std::chrono::milliseconds(500);
  const std::string save = ::testing::TempDir() + "sim_process_test_serve.bin";
  SimProcess sim({"--serve", "2", "--gap-ms", std::to_string(kGap.count()), "--blocks", "2", "--save", save,
                  "--grace-ms", "20", "--timeout", "20"});
  const serial::PosixDescriptor host = sim.OpenHostSide();
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
  EXPECT_EQ(sim.ReadLine(), line(1, first));
  // The gap began before the line was printed.
  const auto gapOver = std::chrono::steady_clock::now() + kGap + std::chrono::milliseconds(100);
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  pollfd answer{host.Get(), POLLIN, 0};
  EXPECT_EQ(poll(&answer, 1, 150), 0) << "answered in the gap";
  std::this_thread::sleep_until(gapOver);

  flash(second);
  EXPECT_EQ(sim.ReadLine(), line(2, second));  // the VERS of the gap is not counted
  EXPECT_EQ(sim.Wait(), 0);
  for (const auto& [suffix, image] : {std::pair{".1", first}, std::pair{".2", second}}) {
    std::ifstream saved(save + suffix, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), image) << suffix;
  }
}

TEST(SimProcessTest, HostHangingUpEndsTheRun) {
  SimProcess sim({"--timeout", "20"});
  serial::PosixDescriptor host = sim.OpenHostSide();
  ASSERT_TRUE(host.Valid());
  ASSERT_EQ(::write(host.Get(), "xVERS", 5), 5);
  std::string reply;
  ReadUpTo(host.Get(), 18, reply);
  host.Reset();
  EXPECT_EQ(sim.ReadLine(), R"({"bytes":0,"blocks":0,"crc":"FFFF","pusk":false,"vers":1,"extra":0,"error":"host hung up"})");
  EXPECT_EQ(sim.Wait(), 0);
}

// A port scan (open, close, no byte) does not end the run: the device is
// still there for the host that comes to talk.
TEST(SimProcessTest, AHostLeavingWithoutAWordIsWaitedFor) {
  SimProcess sim({"--timeout", "20"});
  {
    const serial::PosixDescriptor scan = sim.OpenHostSide();
    ASSERT_TRUE(scan.Valid());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the simulator sees it come and go
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  serial::PosixDescriptor host = sim.OpenHostSide();
  ASSERT_TRUE(host.Valid());
  ASSERT_EQ(::write(host.Get(), "VERS", 4), 4);
  std::string reply;
  ReadUpTo(host.Get(), 18, reply);
  EXPECT_EQ(reply, "BRANTELMOOR X1 2.1");
  host.Reset();
  EXPECT_EQ(sim.ReadLine(), R"({"bytes":0,"blocks":0,"crc":"FFFF","pusk":false,"vers":1,"extra":0,"error":"host hung up"})");
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(SimProcessTest, EchoSurvivesReopeningWithStay) {
  SimProcess sim({"--echo", "--stay", "--timeout", "20"});
  const std::string bytes("\x00\x03\r\n\x7F\xFF", 6);
  for (int round = 0; round < 2; ++round) {
    const serial::PosixDescriptor host = sim.OpenHostSide();
    ASSERT_TRUE(host.Valid());
    ASSERT_EQ(::write(host.Get(), bytes.data(), bytes.size()), 6);
    std::string echoed;
    ReadUpTo(host.Get(), 6, echoed);
    EXPECT_EQ(echoed, bytes) << round;
  }
  sim.Terminate();
  EXPECT_EQ(sim.ReadLine(), R"({"bytes":12,"blocks":0,"crc":")" + Hex4(Crc16Modbus(bytes + bytes)) +
                                R"(","pusk":false,"vers":0,"extra":0,"error":"terminated"})");
  EXPECT_EQ(sim.Wait(), 0);
}

}  // namespace
}  // namespace vn::sim
