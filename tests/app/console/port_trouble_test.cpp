#include "app/console/port_trouble.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/serial/posix_descriptor.h"
#include "components/serial/serial_port_map_posix.h"

namespace vn::console {
namespace {

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vn_trouble_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = fs::canonical(pattern);
  }
  void TearDown() override {
    serial::SetPortMap(std::nullopt);
    fs::remove_all(root_);
  }

  fs::path root_;
};

// A process in a made-up /proc: its name, its command line (arguments
// apart by zero bytes) and what its descriptors point at.
struct FakeProcess {
  std::string entry;  // the directory's name: a pid, or "self" and the like
  std::string comm;
  std::string cmdline;
  std::vector<std::string> fds;
};

void AddProcess(const fs::path& proc, const FakeProcess& p) {
  const fs::path dir = proc / p.entry;
  fs::create_directories(dir / "fd");
  std::ofstream(dir / "comm") << p.comm << "\n";
  std::ofstream(dir / "cmdline", std::ios::binary) << p.cmdline;
  for (std::size_t i = 0; i < p.fds.size(); ++i) fs::create_symlink(p.fds[i], dir / "fd" / std::to_string(i + 3));
}

using HoldersInFakeProc = TempDir;

TEST_F(HoldersInFakeProc, EveryOtherProcessWithADescriptorOnTheDeviceOnceInPidOrder) {
  const fs::path device = root_ / "ttyUSB0";
  const fs::path other = root_ / "ttyUSB1";
  std::ofstream(device).put('\0');
  std::ofstream(other).put('\0');
  fs::create_directories(root_ / "serial/by-id");
  const fs::path byId = root_ / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  fs::create_symlink(device, byId);
  constexpr int kSelf = 400;

  const std::string d = device.string();
  const fs::path proc = root_ / "proc";
  fs::create_directories(proc / "sys/kernel");
  const FakeProcess processes[] = {
      // The kernel cuts names to 15 bytes; the command line has the rest.
      {"300", "brantelmoor-fla", std::string("/opt/line/brantelmoor-flash\0flash\0", 34), {d, "/dev/null", d}},
      {"150", "picocom", "picocom", {"/dev/pts/1", d, "socket:[4711]"}},
      {"100", "minicom", "minicom", {d}},
      {"200", "bash", "bash", {"/dev/pts/1", other.string()}},
      {"2", "kthreadd", "", {}},
      {std::to_string(kSelf), "console_support", "console_support_tests", {d}},
      {"self", "console_support", "console_support_tests", {d}},
  };
  for (const FakeProcess& p : processes) AddProcess(proc, p);
  const std::vector<Holder> holders = {{100, "minicom"}, {150, "picocom"}, {300, "brantelmoor-flash"}};
  EXPECT_EQ(HoldersOf(proc, d, kSelf), holders);
  EXPECT_EQ(HoldersOf(proc, byId.string(), kSelf), holders);
  EXPECT_TRUE(HoldersOf(root_ / "no-proc", d, kSelf).empty());
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(PortTroubleText, TheFirstFactThatExplainsTheFailureIsSaidSoThatItCanBeActedOn) {
  const std::string dev = "/dev/ttyUSB0";
  struct Case {
    PortFacts facts;
    std::string firstLine;
    std::vector<std::string> also;
    std::vector<std::string> never;
  };
  const Case cases[] = {
      {{dev, /*exists=*/false}, "/dev/ttyUSB0 does not exist (unplugged?)"},
      // Permission comes first, holders or not; the group is the device's.
      {{dev, true, /*readWrite=*/false, "uucp", {{100, "minicom"}}},
       "permission denied on /dev/ttyUSB0: add yourself to its group: sudo usermod -aG uucp $USER, then log in again"},
      // Joining root's group is no fix.
      {{dev, true, false, "root"}, "", {"permission denied on /dev/ttyUSB0", "udev rule"}, {"usermod"}},
      {{dev, true, true, "dialout", {{150, "picocom"}, {300, "brantelmoor-flash"}}},
       "/dev/ttyUSB0 is in use by picocom (pid 150), brantelmoor-flash (pid 300)", {}, {"\n"}},
      {{dev, true, true, "dialout", {{812, "ModemManager"}}, false, "0403:6001"},
       "/dev/ttyUSB0 is in use by ModemManager (pid 812)",
       {"ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
        "sudo udevadm control --reload-rules", "sudo systemctl stop ModemManager"}},
      {{dev, true, true, "dialout", {{812, "ModemManager"}}},
       "/dev/ttyUSB0 is in use by ModemManager (pid 812)",
       {"sudo systemctl stop ModemManager"},
       {"ATTRS", "ID_MM_DEVICE_IGNORE"}},
      {{dev, true, true, "dialout", {}, /*busy=*/true},
       "",
       {"/dev/ttyUSB0 is in use by another program", "sudo lsof /dev/ttyUSB0"}},
  };
  for (const Case& c : cases) {
    const std::string text = TroubleText(c.facts);
    SCOPED_TRACE(text);
    if (!c.firstLine.empty()) {
      EXPECT_EQ(FirstLine(text), c.firstLine);
    }
    for (const std::string& part : c.also) EXPECT_NE(text.find(part), std::string::npos) << part;
    for (const std::string& part : c.never) EXPECT_EQ(text.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(TroubleText({dev}), "");
}

// A pseudo-terminal pair, its far end opened by this process.
struct Pty {
  Pty() {
    master = serial::PosixDescriptor(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.Valid() || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) return;
    path = ::ptsname(master.Get());
    end = serial::PosixDescriptor(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  }
  serial::PosixDescriptor master;
  serial::PosixDescriptor end;
  std::string path;
};

TEST(PortHolders, ARealPtyThisProcessHoldsIsFoundUnlessThisProcessIsLeftOut) {
  const Pty pty;
  ASSERT_TRUE(pty.end.Valid());
  // The executable's name is longer than the kernel keeps.
  EXPECT_EQ(HoldersOf("/proc", pty.path, /*self=*/0),
            (std::vector<Holder>{{static_cast<int>(::getpid()), "console_support_tests"}}));
  EXPECT_TRUE(HoldersOf(pty.path).empty());
}

using WhyPortNotOpenedTest = TempDir;

TEST_F(WhyPortNotOpenedTest, AMappedPortIsLookedAtAfresh) {
  const Pty pty;
  ASSERT_TRUE(pty.end.Valid());
  const fs::path gone = root_ / "ttyUSB9";
  serial::SetPortMap(std::vector<serial::PortMapEntry>{{"COM250", pty.path}, {"COM251", gone.string()}});

  EXPECT_EQ(WhyPortNotOpened("com251"), gone.string() + " does not exist (unplugged?)");
  // Open here, but this process does not count and holds no lock.
  EXPECT_EQ(WhyPortNotOpened("COM250"), "");
  // The lock a flasher takes on its port stops the next one.
  ASSERT_EQ(::flock(pty.end.Get(), LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(FirstLine(WhyPortNotOpened("COM250")),
            pty.path + " is in use by another program that this user cannot see (sudo lsof " + pty.path +
                " names it)");
}

}  // namespace
}  // namespace vn::console
