#pragma once

// The other end of the line for the behaviour suite that both serial
// backends run: it sends back every byte that the port sends it, as the
// device simulator does in its echo mode. Natively a pseudo-terminal
// (line_peer_pty.cpp); under wine the simulator that the harness puts behind
// COM5 (win32/line_peer_sim.cpp).

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vn::test {

class LinePeer {
 public:
  virtual ~LinePeer() = default;

  // The COM name that leads to the line, and its number.
  virtual std::string PortName() const = 0;
  virtual std::int32_t PortNumber() const = 0;

  // The modem line events that an open reports ("CTS:1", ...): a
  // pseudo-terminal has no lines, the simulator's has them all on.
  virtual std::vector<std::string> LinesAtOpen() const = 0;

  // Generous: a healthy run never waits this long.
  virtual std::chrono::milliseconds Patience() const = 0;
};

// The line for one test, echoing from the start.
std::unique_ptr<LinePeer> MakeEchoingPeer();

}  // namespace vn::test
