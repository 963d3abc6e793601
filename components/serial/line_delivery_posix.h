#pragma once

#include <filesystem>
#include <string>

#include "components/serial/burst_timing.h"

namespace vn::serial {

// What the class directory `ttyClass` (/sys/class/tty) shows of the tty
// `ttyName` ("ttyUSB0"). An FTDI-type adapter's latency timer is first
// lowered to 1 ms where sysfs lets us (root, or a udev rule that opened it
// up), then read back; a USB adapter that shows no timer gets the assumed
// tick; a UART its trigger level, or the assumed one; a pseudo-terminal or
// a console neither.
LineDelivery LineDeliveryOfTty(const std::filesystem::path& ttyClass, const std::string& ttyName);

}  // namespace vn::serial
