#pragma once

#include <chrono>
#include <cstdint>

namespace vn::sim {

// Times on the emulated line, counted from any fixed origin.
using LineTime = std::chrono::nanoseconds;

// The timing of a serial line of a given baud rate with 10 bits per byte
// (start, 8 data, stop), applied to a pty that would otherwise carry bytes
// at memory speed. Baud 0 leaves the line unpaced: every time passes through.
class LinePacing {
 public:
  explicit LinePacing(std::uint32_t baud);

  std::chrono::nanoseconds ByteTime() const { return byteTime_; }

  // The time at which a byte that reached us at `arrival` would have come
  // in completely: no earlier than one byte time after the byte before it.
  LineTime Received(LineTime arrival);

  // The time at which a byte that is due at `due` can go out: no earlier
  // than one byte time after the byte sent before it.
  LineTime Sent(LineTime due);

 private:
  std::chrono::nanoseconds byteTime_;
  bool anyReceived_ = false;
  bool anySent_ = false;
  LineTime lastReceived_{0};
  LineTime lastSent_{0};
};

}  // namespace vn::sim
