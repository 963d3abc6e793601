#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vn::console {

// What the system tells of the hardware behind a port: for the port list
// and for the history log. Any part may be empty; all texts are UTF-8.
struct PortDetails {
  std::string vendorProduct;  // USB ids as "0403:6001", lower-case hex
  std::string maker;
  std::string product;
  std::string serial;
  // One line for a person: "FTDI FT232R USB UART (0403:6001, serial
  // A50285BI)" on Linux, the device's own name on Windows.
  std::string description;
};

// The port a COM name stands for: on Linux the device the port map points
// at, read from /sys/class/tty; on Windows the device in the registry whose
// "Device Parameters" name that port (readable without administrator
// rights). Empty when neither knows the port, as for a pseudo-terminal.
PortDetails DetailsOfPort(std::string_view comName);

// Linux builds only: the tty `ttyName` ("ttyUSB0") as the class directory
// `sysClassTty` (/sys/class/tty) shows it. A USB adapter's strings come from
// the USB device, found by climbing from the tty's device until idVendor
// shows up (ttyUSB links to its usb-serial port, ttyACM to the interface);
// a tty bound to other hardware is a UART; one without a device (a console,
// a pseudo-terminal) or a missing one gets nothing.
PortDetails DetailsOfTty(const std::filesystem::path& sysClassTty, const std::string& ttyName);

}  // namespace vn::console
