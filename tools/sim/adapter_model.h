#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/line_pacing.h"

namespace vn::sim {

// A USB serial adapter of the FTDI kind between the device's UART and the
// host. It collects the bytes the device sends and hands them to the host in
// packets: everything it holds at each tick of a free-running timer (times
// phase + k * tick for every whole k), and at once when its buffer is full
// (the byte that fills it goes out in that packet; the next packet counts
// afresh, and the timer runs on undisturbed). A byte that enters exactly at
// a tick goes out with that tick. No I/O, no clock: times are given.
class AdapterModel {
 public:
  struct Packet {
    LineTime release;  // when it goes to the host
    std::string bytes;
    bool operator==(const Packet&) const = default;
  };

  // `tick` > 0, 0 <= `phase` < `tick`, `buffer` >= 1.
  AdapterModel(std::chrono::nanoseconds tick, std::chrono::nanoseconds phase, std::size_t buffer);

  // The first tick at or after `t`.
  LineTime TickAtOrAfter(LineTime t) const;

  // Bytes that have completely left the device at `entry`: no earlier than
  // the bytes entered before them, and no earlier than the release of a
  // packet already taken.
  void Enter(LineTime entry, std::string_view bytes);

  // The packets not yet taken, in the order (and at the times) they go out.
  // The last one may still grow, or go out earlier when a byte fills it.
  const std::deque<Packet>& Held() const { return packets_; }
  // Removes and returns the first held packet (there must be one): the
  // caller hands it to the host at its release time.
  Packet Take();
  void Clear() { packets_.clear(); }

 private:
  std::chrono::nanoseconds tick_;
  std::chrono::nanoseconds phase_;
  std::size_t buffer_;
  std::deque<Packet> packets_;
};

// The release time of each of a run of bytes entering one at a time at
// `entries` (in order), with nothing taken in between.
std::vector<LineTime> AdapterReleaseTimes(const std::vector<LineTime>& entries, std::chrono::nanoseconds tick,
                                          std::chrono::nanoseconds phase, std::size_t buffer);

}  // namespace vn::sim
