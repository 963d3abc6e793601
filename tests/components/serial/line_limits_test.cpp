#include "components/serial/line_limits.h"

#include <gtest/gtest.h>

namespace vn::serial {
namespace {

TEST(LineLimits, OnlySettingsAUartCanProduceAreTaken) {
  // Each case changes the line of 57600 baud, 8 data bits, no parity, one
  // stop bit, XON 17 and XOFF 19 in what it names.
  struct Case {
    const char* what;
    std::uint32_t baud;
    std::uint8_t byteSize;
    std::uint8_t parity;
    std::uint8_t stopBits;  // 0: one, 1: one and a half, 2: two
    std::uint32_t flags;    // besides Binary
    char xonChar;
    bool taken;
  };
  const std::uint32_t outX = line_flag::OutX;
  const std::uint32_t inX = line_flag::InX;
  const Case cases[] = {
      {"nothing", 57600, 8, 0, 0, 0, 17, true},
      {"baud 0", 0, 8, 0, 0, 0, 17, false},
      {"9 data bits", 57600, 9, 0, 0, 0, 17, false},
      {"4 data bits", 57600, 4, 0, 0, 0, 17, false},
      {"space parity", 57600, 8, 4, 0, 0, 17, true},
      {"parity 5", 57600, 8, 5, 0, 0, 17, false},
      {"two stop bits", 57600, 8, 0, 2, 0, 17, true},
      {"stop bits 3", 57600, 8, 0, 3, 0, 17, false},
      {"1.5 stop bits with 8 data bits", 57600, 8, 0, 1, 0, 17, false},
      {"1.5 stop bits with 5 data bits", 57600, 5, 0, 1, 0, 17, true},
      {"2 stop bits with 5 data bits", 57600, 5, 0, 2, 0, 17, false},
      {"XON equal to XOFF with XON/XOFF output", 57600, 8, 0, 0, outX, 19, false},
      {"XON equal to XOFF with XON/XOFF input", 57600, 8, 0, 0, inX, 19, false},
      {"XON equal to XOFF without XON/XOFF", 57600, 8, 0, 0, 0, 19, true},
  };
  for (const Case& c : cases) {
    LineSettings s;
    s.Baud = c.baud;
    s.ByteSize = c.byteSize;
    s.Parity = c.parity;
    s.StopBits = c.stopBits;
    s.Flags = line_flag::Binary | c.flags;
    s.XonChar = c.xonChar;
    s.XoffChar = 19;
    EXPECT_EQ(LineCanTake(s), c.taken) << c.what;
  }
}

}  // namespace
}  // namespace vn::serial
