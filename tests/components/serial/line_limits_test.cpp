#include "components/serial/line_limits.h"

#include <gtest/gtest.h>

namespace vn::serial {
namespace {

TEST(LineLimits, OnlySettingsAUartCanProduceAreTaken) {
  struct Case {
    const char* what;
    void (*change)(LineSettings&);
    bool taken;
  };
  const Case cases[] = {
      {"8 data bits, no parity, one stop bit", [](LineSettings&) {}, true},
      {"baud 0", [](LineSettings& s) { s.Baud = 0; }, false},
      {"9 data bits", [](LineSettings& s) { s.ByteSize = 9; }, false},
      {"4 data bits", [](LineSettings& s) { s.ByteSize = 4; }, false},
      {"space parity", [](LineSettings& s) { s.Parity = 4; }, true},
      {"parity 5", [](LineSettings& s) { s.Parity = 5; }, false},
      {"two stop bits", [](LineSettings& s) { s.StopBits = 2; }, true},
      {"stop bits 3", [](LineSettings& s) { s.StopBits = 3; }, false},
      {"1.5 stop bits with 8 data bits", [](LineSettings& s) { s.StopBits = 1; }, false},
      {"1.5 stop bits with 5 data bits",
       [](LineSettings& s) {
         s.ByteSize = 5;
         s.StopBits = 1;
       },
       true},
      {"2 stop bits with 5 data bits",
       [](LineSettings& s) {
         s.ByteSize = 5;
         s.StopBits = 2;
       },
       false},
      {"XON equal to XOFF with XON/XOFF output",
       [](LineSettings& s) {
         s.Flags |= line_flag::OutX;
         s.XonChar = s.XoffChar;
       },
       false},
      {"XON equal to XOFF with XON/XOFF input",
       [](LineSettings& s) {
         s.Flags |= line_flag::InX;
         s.XonChar = s.XoffChar;
       },
       false},
      {"XON equal to XOFF without XON/XOFF", [](LineSettings& s) { s.XonChar = s.XoffChar; }, true},
  };
  for (const Case& c : cases) {
    LineSettings s;
    s.Baud = 57600;
    s.Flags = line_flag::Binary;
    s.XonChar = 17;
    s.XoffChar = 19;
    c.change(s);
    EXPECT_EQ(LineCanTake(s), c.taken) << c.what;
  }
}

}  // namespace
}  // namespace vn::serial
