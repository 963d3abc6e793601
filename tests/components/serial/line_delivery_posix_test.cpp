#include "components/serial/line_delivery_posix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "components/serial/burst_timing.h"

namespace vn::serial {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A made-up /sys/class/tty: each case builds the tty it names.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vn_sysfs_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path ttyClass() const { return root_ / "class/tty"; }

  // A tty whose device sits on `bus` (empty: no device link at all).
  fs::path AddTty(const std::string& name, const std::string& bus) {
    const fs::path dir = ttyClass() / name;
    fs::create_directories(dir);
    if (bus.empty()) return {};
    const fs::path device = root_ / "devices" / name / "port";  // its parent stands for the USB interface
    fs::create_directories(device);
    fs::create_directories(root_ / "bus" / bus);
    fs::create_directory_symlink(root_ / "bus" / bus, device / "subsystem");
    fs::create_directory_symlink(device, dir / "device");
    return device;
  }

  static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
  static std::string Read(const fs::path& file) {
    std::string text;
    std::getline(std::ifstream(file), text);
    return text;
  }

  fs::path root_;
};

TEST_F(FakeSysfs, DeliveryFollowsWhatTheSystemTellsOfTheHardware) {
  AddTty("pts", "");                      // a pseudo-terminal: no device
  AddTty("ttyS0", "platform");            // a UART that does not tell its trigger level
  AddTty("ttyS1", "pnp");
  Write(ttyClass() / "ttyS1" / "rx_trig_bytes", "8\n");
  AddTty("ttyUSB1", "usb-serial");        // CP210x, CH340: no timer shown
  AddTty("ttyACM0", "usb");               // CDC-ACM
  const fs::path ftdi = AddTty("ttyUSB0", "usb-serial");
  Write(ftdi / "latency_timer", "16\n");
  const fs::path nested = AddTty("ttyUSB2", "usb-serial");  // the timer on the USB interface
  Write(nested / ".." / "latency_timer", "16\n");
  const fs::path unreadable = AddTty("ttyUSB3", "usb-serial");
  fs::create_directory(unreadable / "latency_timer");  // neither written nor read

  struct Case {
    std::string tty;
    std::chrono::microseconds tick;
    std::uint32_t fifoTrigger;
  };
  const Case cases[] = {
      {"pts", 0us, 1},
      {"ttyS0", 0us, kAssumedFifoTrigger},
      {"ttyS1", 0us, 8},
      {"ttyUSB1", kUntimedAdapterTick, 1},
      {"ttyACM0", kUntimedAdapterTick, 1},
      // The timer is lowered where it may be, then taken as it reads back.
      {"ttyUSB0", 1ms, 1},
      {"ttyUSB2", 1ms, 1},
      {"ttyUSB3", kUntimedAdapterTick, 1},  // a timer that cannot be read: as if none
  };
  for (const Case& c : cases) {
    const LineDelivery delivery = LineDeliveryOfTty(ttyClass(), c.tty);
    EXPECT_EQ(delivery.adapterTick, c.tick) << c.tty;
    EXPECT_EQ(delivery.fifoTrigger, c.fifoTrigger) << c.tty;
  }
  EXPECT_EQ(Read(ftdi / "latency_timer"), "1");
}

}  // namespace
}  // namespace vn::serial
