#pragma once

#include <array>
#include <cstdint>

namespace vn::serial {

// The line settings record, laid out as the Windows device control block
// keeps it; the POSIX layer translates it into termios.
struct LineSettings {
  std::uint32_t Length = 28;  // the record's own size, as Windows expects it
  std::uint32_t Baud = 0;
  std::uint32_t Flags = 0;    // the flag word, bits below
  std::uint16_t XonLimit = 0;
  std::uint16_t XoffLimit = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

// Bits of LineSettings::Flags.
namespace line_flag {
inline constexpr std::uint32_t Binary = 0x0001;
inline constexpr std::uint32_t Parity = 0x0002;
inline constexpr std::uint32_t OutxCtsFlow = 0x0004;
inline constexpr std::uint32_t OutxDsrFlow = 0x0008;
inline constexpr std::uint32_t DtrControlShift = 4;   // 2 bits: 0 off, 1 on, 2 handshake
inline constexpr std::uint32_t DtrControlMask = 0x0030;
inline constexpr std::uint32_t DsrSensitivity = 0x0040;
inline constexpr std::uint32_t TxContinueOnXoff = 0x0080;
inline constexpr std::uint32_t OutX = 0x0100;
inline constexpr std::uint32_t InX = 0x0200;
inline constexpr std::uint32_t ErrorChar = 0x0400;
inline constexpr std::uint32_t Null = 0x0800;
inline constexpr std::uint32_t RtsControlShift = 12;  // 2 bits: off, on, handshake, toggle
inline constexpr std::uint32_t RtsControlMask = 0x3000;
inline constexpr std::uint32_t AbortOnError = 0x4000;
}  // namespace line_flag

struct LineTimeouts {
  std::uint32_t ReadInterval = 0;
  std::uint32_t ReadTotalMultiplier = 0;
  std::uint32_t ReadTotalConstant = 0;
  std::uint32_t WriteTotalMultiplier = 0;
  std::uint32_t WriteTotalConstant = 0;
};

// Line events (the event mask and the event word).
namespace line_event {
inline constexpr std::uint32_t RxChar = 0x0001;
inline constexpr std::uint32_t RxFlag = 0x0002;
inline constexpr std::uint32_t TxEmpty = 0x0004;
inline constexpr std::uint32_t Cts = 0x0008;
inline constexpr std::uint32_t Dsr = 0x0010;
inline constexpr std::uint32_t Rlsd = 0x0020;
inline constexpr std::uint32_t Break = 0x0040;
inline constexpr std::uint32_t Err = 0x0080;
inline constexpr std::uint32_t Ring = 0x0100;
inline constexpr std::uint32_t Rx80Full = 0x0400;

// The order in which the bits of one event word are dispatched.
inline constexpr std::array<std::uint32_t, 10> DispatchOrder = {
    RxChar, TxEmpty, Break, Ring, Cts, Dsr, RxFlag, Rlsd, Err, Rx80Full};
}  // namespace line_event

// Modem status word.
namespace modem_line {
inline constexpr std::uint32_t Cts = 0x10;
inline constexpr std::uint32_t Dsr = 0x20;
inline constexpr std::uint32_t Ring = 0x40;
inline constexpr std::uint32_t Rlsd = 0x80;
}  // namespace modem_line

// Line error word.
namespace line_error {
inline constexpr std::uint32_t RxOver = 0x0001;
inline constexpr std::uint32_t Overrun = 0x0002;
inline constexpr std::uint32_t RxParity = 0x0004;
inline constexpr std::uint32_t Frame = 0x0008;
inline constexpr std::uint32_t Break = 0x0010;
inline constexpr std::uint32_t TxFull = 0x0100;
inline constexpr std::uint32_t Io = 0x0400;
inline constexpr std::uint32_t Mode = 0x8000;
}  // namespace line_error

}  // namespace vn::serial
