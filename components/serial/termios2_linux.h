#pragma once

#include <cstdint>

namespace vn::serial {

// Raw line settings for a tty, applied through termios2 so that any baud
// rate can be set exactly (38462 is not one of the fixed B-constants).
struct RawLineParams {
  std::uint32_t baud = 9600;
  std::uint8_t dataBits = 8;    // 5..8
  std::uint8_t parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stopBits = 0;    // 0 one, 1 one and a half, 2 two
  bool ctsFlow = false;         // RTS/CTS hardware flow control
  bool xonXoffOut = false;      // honour XON/XOFF from the other side
  bool xonXoffIn = false;       // send XON/XOFF to the other side
  std::uint8_t xonChar = 17;
  std::uint8_t xoffChar = 19;
  bool checkParity = false;
};

// Reads the current settings into `params` (what a raw line needs of them).
bool ReadRawLine(int fd, RawLineParams& params);

// Puts the tty into raw mode with these settings; reads return at once with
// what is buffered (VMIN 0, VTIME 0). False when the driver refuses them or
// a value is out of range.
bool ApplyRawLine(int fd, const RawLineParams& params);

// Asks the driver for low-latency delivery where it offers it (USB serial
// adapters otherwise hold received bytes up to 16 ms). Best effort.
void RequestLowLatency(int fd);

}  // namespace vn::serial
