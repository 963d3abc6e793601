#pragma once

// What the registry tells about the adapter behind a COM port, for the
// reader's wait for the end of a burst (burst_timing.h).

#include <chrono>
#include <string_view>

namespace vn::serial {

// The packet tick of the adapter behind `comName` ("COM5", any case): 0 for
// a UART, an FTDI adapter's latency timer, the assumed tick for other USB
// adapters. A port the serial port map does not list (or a registry that
// cannot be read) counts as an adapter that does not tell its tick: waiting
// too long costs a little time, too short a split answer.
std::chrono::microseconds AdapterTickOfPort(std::string_view comName);

}  // namespace vn::serial
