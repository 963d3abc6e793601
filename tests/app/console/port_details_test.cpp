#include "app/console/port_details.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vn::console {
namespace {

namespace fs = std::filesystem;

// A made-up sysfs laid out as the kernel does it: USB devices under their
// root hub (which has ids of its own), a UART on the platform bus.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vn_details_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    hub_ = root_ / "devices/pci0000:00/0000:00:14.0/usb1";
    AddUsbDevice(hub_, {{"idVendor", "1d6b"}, {"idProduct", "0002"}, {"product", "xHCI Host Controller"}});
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path ttyClass() const { return root_ / "class/tty"; }

  static void AddUsbDevice(const fs::path& dir, const std::map<std::string, std::string>& attributes) {
    fs::create_directories(dir);
    for (const auto& [name, text] : attributes) std::ofstream(dir / name) << text << "\n";
  }

  // The tty's "device" link points at `device`, which is made if missing.
  void AddTty(const std::string& name, const fs::path& device) {
    fs::create_directories(ttyClass() / name);
    if (device.empty()) return;
    fs::create_directories(device);
    fs::create_directory_symlink(device, ttyClass() / name / "device");
  }

  fs::path root_;
  fs::path hub_;
};

TEST_F(FakeSysfs, DetailsComeFromTheUsbDeviceAboveTheTty) {
  // FTDI: the tty's device is the usb-serial port under the interface;
  // some devices pad their strings.
  AddUsbDevice(hub_ / "1-1", {{"idVendor", "0403"}, {"idProduct", "6001"}, {"manufacturer", "FTDI  "},
                              {"product", "FT232R USB UART"}, {"serial", "A50285BI"}});
  AddTty("ttyUSB0", hub_ / "1-1/1-1:1.0/ttyUSB0");
  // CP210x without a serial number, behind an external hub.
  AddUsbDevice(hub_ / "1-2", {{"idVendor", "05e3"}, {"idProduct", "0610"}, {"product", "USB2.0 Hub"}});
  AddUsbDevice(hub_ / "1-2/1-2.3", {{"idVendor", "10c4"}, {"idProduct", "ea60"}, {"manufacturer", "Silicon Labs"},
                                    {"product", "CP2102 USB to UART Bridge Controller"}});
  AddTty("ttyUSB1", hub_ / "1-2/1-2.3/1-2.3:1.0/ttyUSB1");
  // CDC-ACM: the tty's device is the interface itself, one level closer.
  AddUsbDevice(hub_ / "1-3", {{"idVendor", "2341"}, {"idProduct", "0043"},
                              {"manufacturer", "Arduino (www.arduino.cc)"}, {"serial", "75735323"}});
  AddTty("ttyACM0", hub_ / "1-3/1-3:1.0");
  AddTty("ttyS0", root_ / "devices/platform/serial8250");
  AddTty("console", {});

  struct Case {
    std::string tty;
    PortDetails expected;
  };
  const Case cases[] = {
      {"ttyUSB0",
       {"0403:6001", "FTDI", "FT232R USB UART", "A50285BI", "FTDI FT232R USB UART (0403:6001, serial A50285BI)"}},
      {"ttyUSB1",
       {"10c4:ea60", "Silicon Labs", "CP2102 USB to UART Bridge Controller", "",
        "Silicon Labs CP2102 USB to UART Bridge Controller (10c4:ea60)"}},
      {"ttyACM0",
       {"2341:0043", "Arduino (www.arduino.cc)", "", "75735323",
        "Arduino (www.arduino.cc) (2341:0043, serial 75735323)"}},
      {"ttyS0", {"", "", "", "", "serial port (UART)"}},
      {"console", {}},
      {"ttyUSB7", {}},
  };
  const auto fields = [](const PortDetails& d) {
    return std::vector<std::string>{d.vendorProduct, d.maker, d.product, d.serial, d.description};
  };
  for (const Case& c : cases) EXPECT_EQ(fields(DetailsOfTty(ttyClass(), c.tty)), fields(c.expected)) << c.tty;
}

}  // namespace
}  // namespace vn::console
