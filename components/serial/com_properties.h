#pragma once

#include <cstdint>

#include "core/rc_string.h"

namespace vn {

// Configuration of a serial port component, set by the scheme before first
// use and read again at every open.
struct TComProperties {
  RcString Port;                 // default port name
  std::int32_t Baud = 0;
  std::int32_t Parity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::int32_t DataBits = 0;     // data bits minus 5
  std::int32_t StopBits = 0;     // 0 one, 1 one and a half, 2 two
  std::int32_t EventChar = 0;
  bool DiscardNull = false;
  bool AbortOnError = false;
  bool CheckParity = false;
  bool ReplaceErrors = false;
  std::int32_t ErrorChar = 0;
  bool DsrSensitivity = false;
  bool OutxCtsFlow = false;
  bool OutxDsrFlow = false;
  bool TxContinueOnXoff = false;
  std::int32_t XoffChar = 0;
  std::int32_t XonChar = 0;
  bool InX = false;
  bool OutX = false;
  std::int32_t InQueue = 0;
  std::int32_t OutQueue = 0;
  std::int32_t RTS = 0;          // 0 disable, 1 enable, 2 handshake, 3 toggle
  std::int32_t DTR = 0;          // 0 disable, 1 enable, 2 handshake
  bool EvRxChar = false;
  bool EvRxFlag = false;
  bool EvTxEmpty = false;
  bool EvCTS = false;
  bool EvDSR = false;
  bool EvRLSD = false;
  bool EvBreak = false;
  bool EvErr = false;
  bool EvRing = false;
  bool EvRx80Full = false;
  std::uint32_t ReadInterval = 0;  // 0xFFFFFFFF with zero totals: reads return at once
  std::uint32_t ReadTotalConstant = 0;
  std::uint32_t ReadTotalMultiplier = 0;
  std::uint32_t WriteTotalConstant = 0;
  std::uint32_t WriteTotalMultiplier = 0;
  bool EnumCheck = false;
  bool FlushOnClose = false;
};

}  // namespace vn
