#pragma once

// What the registry tells about the hardware behind a COM port, for the
// reader's wait for the end of a burst (burst_timing.h).

#include <string_view>

#include "components/serial/burst_timing.h"

namespace vn::serial {

// The hardware behind `comName` ("COM5", any case): a UART with its FIFO's
// trigger level (as set in its device key, else the assumed one), an FTDI
// adapter with its latency timer, another USB adapter with the assumed
// tick. A port the serial port map does not list (or a registry that
// cannot be read) counts as an adapter that does not tell its tick:
// waiting too long costs a little time, too short a split answer.
LineDelivery LineDeliveryOfPort(std::string_view comName);

}  // namespace vn::serial
