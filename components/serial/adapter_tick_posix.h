#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace vn::serial {

// The packet tick of the adapter behind the tty `ttyName` ("ttyUSB0"), as
// the class directory `ttyClass` (/sys/class/tty) shows it. An FTDI-type
// adapter's latency timer is first lowered to 1 ms where sysfs lets us
// (root, or a udev rule that opened it up), then read back; a USB adapter
// that shows no timer gets the assumed tick; a UART, a pseudo-terminal or a
// console has none.
std::chrono::microseconds AdapterTickOfTty(const std::filesystem::path& ttyClass, const std::string& ttyName);

}  // namespace vn::serial
