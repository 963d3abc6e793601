#include "components/serial/line_limits.h"

namespace vn::serial {

bool LineCanTake(const LineSettings& s) {
  if (s.Baud == 0 || s.ByteSize < 5 || s.ByteSize > 8 || s.Parity > 4 || s.StopBits > 2) return false;
  if (s.StopBits == 1 && s.ByteSize != 5) return false;  // one and a half exist only with 5 bits
  if (s.StopBits == 2 && s.ByteSize == 5) return false;  // ... where the UART makes 2 into 1.5
  // With software flow control the two characters must differ, or the line
  // could not tell "stop" from "go".
  const bool xonXoff = (s.Flags & (line_flag::InX | line_flag::OutX)) != 0;
  if (xonXoff && s.XonChar == s.XoffChar) return false;
  return true;
}

}  // namespace vn::serial
