// Several devices at once, devices found by themselves and watch mode, as
// a production line runs them: each device's fault stays its own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/console/flasher_process.h"
#include "tests/support/carried_image.h"
#include "app/console/simulator_process.h"

namespace vn::test {
namespace {

using namespace std::chrono_literals;
using sim::SimulatorProcess;
using sim::SummaryField;
using Words = std::vector<std::string>;

// A folder of its own per test, for links, saved images and logs.
std::string Folder(const std::string& name) {
  const std::string path = ::testing::TempDir() + "/gang_" + name;
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line (of JSON lines) that tells of the port whose label holds `path`.
std::string LineOf(const std::string& lines, const std::string& path) {
  for (const std::string& line : Lines(lines)) {
    if (line.find("(" + path + ")") != std::string::npos) return line;
  }
  return {};
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++count;
  return count;
}

// Collects the flasher's output until it says `what` `times` times.
bool WaitForTimes(FlasherProcess& flasher, const std::string& what, std::size_t times, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (Count(flasher.Out(), what) < times) {
    if (std::chrono::steady_clock::now() > end) return false;
    flasher.WaitForOutput(what + "\n\n", 100ms);  // never said: collects for a while
  }
  return true;
}

std::unique_ptr<SimulatorProcess> Device(Words options) {
  options.insert(options.begin(), {"--timeout", "120"});
  auto device = std::make_unique<SimulatorProcess>(VN_SIMULATOR, options);
  EXPECT_TRUE(device->Started());
  return device;
}

// Points COM names at devices through a map file, a line per port (the
// name and the device's path), as a rig with fixed names does.
class PortMap {
 public:
  PortMap(const std::string& path, const std::string& lines) {
    std::ofstream(path) << lines;
    ::setenv("VN_PORT_MAP", path.c_str(), 1);
  }
  ~PortMap() { ::unsetenv("VN_PORT_MAP"); }
};

// Eight devices, four of them faulty in four ways, a second flasher
// process writing the same log meanwhile. On bare ptys, which the sanitizer
// runs can afford; answers split by an adapter are FlashThroughAdapter's.
TEST(GangE2eTest, EachDeviceEndsOnItsOwn) {
  const std::string folder = Folder("each");
  struct Case {
    Words fault;
    int code;
    int blocks;  // the device received these whole blocks and nothing more (-1: a good device)
  };
  const Case cases[] = {
      {{}, 0, -1},
      {{"--no-vers-reply"}, 4, 0},
      {{"--wrong-crc", "3"}, 5, 3},
      {{}, 0, -1},
      {{"--silent-from", "5"}, 5, 5},
      {{"--turnaround-us", "20000"}, 5, -2},  // unplugged mid-transfer
      {{}, 0, -1},
      {{}, 0, -1},
  };
  std::vector<std::unique_ptr<SimulatorProcess>> devices;
  std::string ports;
  Words arguments{"flash", "--log", folder + "/history.jsonl"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Words options = cases[i].fault;
    if (cases[i].blocks == -1) options.insert(options.end(), {"--save", folder + "/" + std::to_string(i) + ".bin"});
    devices.push_back(Device(options));
    const std::string name = "COM" + std::to_string(11 + i);
    ports += name + " " + devices.back()->Pty() + "\n";
    arguments.push_back(name);
  }
  const PortMap map(folder + "/ports", ports);

  FlasherProcess flasher(arguments);
  FlasherProcess neighbour({"flash", "--simulate", "2", "--log", folder + "/history.jsonl"});
  ASSERT_TRUE(flasher.WaitForOutput("COM16 (" + devices[5]->Pty() + "): writing", 60s)) << flasher.Out();
  std::this_thread::sleep_for(300ms);
  devices[5]->Terminate();

  EXPECT_EQ(flasher.Finish(), 4) << flasher.Err();  // the first failure in command-line order
  EXPECT_EQ(neighbour.Finish(), 0) << neighbour.Err();
  const std::string log = FileBytes(folder + "/history.jsonl");
  const std::vector<std::string> lines = Lines(log);
  EXPECT_EQ(lines.size(), std::size(cases) + 2) << log;
  for (const std::string& line : lines) EXPECT_TRUE(line.starts_with("{\"time\":") && line.ends_with("}")) << line;

  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string record = LineOf(log, devices[i]->Pty());
    EXPECT_EQ(SummaryField(record, "exit_code"), std::to_string(c.code)) << i << ": " << record;
    const std::string device = devices[i]->Summary();
    if (c.blocks == -1) {
      EXPECT_TRUE(HoldsCarriedImage(folder + "/" + std::to_string(i) + ".bin")) << i;
      EXPECT_EQ(SummaryField(device, "pusk"), "true") << i;
    } else if (c.blocks >= 0) {
      EXPECT_EQ(SummaryField(device, "bytes"), std::to_string(c.blocks * 256)) << i << ": " << device;
      EXPECT_EQ(SummaryField(device, "extra"), "0") << i << ": " << device;
    }
  }
  EXPECT_NE(LineOf(log, devices[2]->Pty()).find("did not confirm block 3"), std::string::npos);
  EXPECT_NE(LineOf(log, devices[5]->Pty()).find("vanished during the transfer"), std::string::npos);
  EXPECT_NE(flasher.Out().find("result"), std::string::npos) << "no summary table:\n" << flasher.Out();
}

// --auto takes the USB serial adapters whose device answers as ours: a
// stranger gets "VERS" and nothing after it, a port that is listed but
// gone is passed over, a port of another kind is not touched.
TEST(GangE2eTest, AutoUsesOnlyAnsweringAdapters) {
  const std::string folder = Folder("auto");
  auto ours = Device({"--link", folder + "/ttyUSB0", "--save", folder + "/ours.bin"});
  auto stranger = Device({"--link", folder + "/ttyACM1", "--name", "OTHERDEVICE"});
  auto uart = Device({"--link", folder + "/ttyS9"});
  const PortMap map(folder + "/ports", "COM21 " + folder + "/ttyUSB0\nCOM22 " + folder + "/ttyACM1\nCOM23 " + folder +
                                        "/ttyUSB7  # listed, but gone\nCOM24 " + folder + "/ttyS9\n");

  FlasherProcess flasher({"flash", "--auto", "--json"});
  EXPECT_EQ(flasher.Finish(), 0) << flasher.Err();
  EXPECT_EQ(Lines(flasher.Out()).size(), 1u) << flasher.Out();
  EXPECT_EQ(SummaryField(flasher.Out(), "port"), "\"COM21 (" + folder + "/ttyUSB0)\"");
  ours->Summary();  // the device has saved what it received
  EXPECT_TRUE(HoldsCarriedImage(folder + "/ours.bin"));
  stranger->Terminate();
  uart->Terminate();
  const std::string strange = stranger->Summary();
  EXPECT_EQ(SummaryField(strange, "bytes"), "0") << strange;
  EXPECT_EQ(SummaryField(strange, "extra"), "0") << strange;
  EXPECT_NE(SummaryField(strange, "vers"), "0") << strange;
  EXPECT_EQ(SummaryField(uart->Summary(), "vers"), "0");
}

// Devices come one after another, on a port that appears and on one
// where a second device follows the first; one stays connected after its
// update and must not be updated again.
TEST(GangE2eTest, WatchFlashesEachConnectionOnce) {
  const std::string folder = Folder("watch");
  auto line = Device({"--link", folder + "/line", "--serve", "2", "--gap-ms", "3000", "--save", folder + "/line.bin"});
  auto stays = Device({"--link", folder + "/stays", "--answer-after-pusk", "--stay"});
  FlasherProcess flasher({"watch", folder + "/line", folder + "/late", folder + "/stays", "--quiet", "--timeout", "1"});
  std::this_thread::sleep_for(1500ms);
  auto late = Device({"--link", folder + "/late", "--save", folder + "/late.bin"});

  EXPECT_TRUE(WaitForTimes(flasher, " updated, ", 4, 90s)) << flasher.Out() << flasher.Err();
  WaitForTimes(flasher, " updated, ", 5, 3s);  // two more looks at every port: nothing is updated twice
  flasher.Interrupt();
  EXPECT_EQ(flasher.Finish(), 130);
  EXPECT_EQ(Count(flasher.Out(), " updated, "), 4u) << flasher.Out() << flasher.Err();
  EXPECT_NE(flasher.Out().find("flashed 4, failed 0"), std::string::npos) << flasher.Out();

  for (const char* saved : {"/line.bin.1", "/line.bin.2", "/late.bin"}) {
    // A device saves what it received a moment after the flasher is done.
    const std::string path = folder + saved;
    for (int i = 0; i < 100 && FileBytes(path).size() < CarriedImage().size(); ++i) std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(HoldsCarriedImage(path));
  }
  stays->Terminate();
  const std::string device = stays->Summary();
  EXPECT_EQ(SummaryField(device, "pusk"), "true") << device;
  EXPECT_EQ(SummaryField(device, "bytes"), "130048") << device;
  EXPECT_EQ(SummaryField(device, "extra"), "0") << device;
}

// Refused input, each with its own exit code and before any device is
// touched where it matters.
TEST(GangE2eTest, BadInputIsRefusedClearly) {
  const std::string folder = Folder("bad");
  auto device = Device({"--link", folder + "/link"});
  struct Case {
    Words arguments;
    int code;
    std::string said;
  };
  const Case cases[] = {
      {{"probe", "COM7", "com7"}, 2, "given twice"},
      {{"probe", folder + "/link", device->Pty()}, 2, "is the same port as"},
      {{"flash", "--simulate", "--log", folder + "/missing/history.jsonl"}, 1, "/missing does not exist"},
  };
  const PortMap map(folder + "/ports", "");
  for (const Case& c : cases) {
    FlasherProcess flasher(c.arguments);
    EXPECT_EQ(flasher.Finish(), c.code) << c.arguments[1] << flasher.Err();
    EXPECT_NE(flasher.Err().find(c.said), std::string::npos) << flasher.Err();
    EXPECT_EQ(flasher.DeviceSummary(), "") << "a device was started: " << flasher.Err();
  }
  device->Terminate();
  EXPECT_EQ(SummaryField(device->Summary(), "vers"), "0");
}

}  // namespace
}  // namespace vn::test
