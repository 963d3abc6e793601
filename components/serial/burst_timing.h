#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vn::serial {

// What carries the device's bytes to the host, as far as it decides when
// received bytes reach the reader.
enum class AdapterKind : std::uint8_t {
  Uart,          // a UART, or a pseudo-terminal: bytes come as the line carries them
  TimedUsb,      // a USB adapter whose latency timer can be read (FTDI)
  UntimedUsb,    // a USB adapter that shows no timer (CP210x, CH340, CDC-ACM, ...)
};

// A USB adapter holds what it received until its latency timer runs out or
// its buffer fills, then sends it as one packet; an answer whose bytes
// straddle a tick reaches the host as two packets one tick apart. Adapters
// that do not tell their tick are given the longest common one, the FTDI
// factory default: with it a device answers through the simulated adapter
// without a split, at about one tick per block.
inline constexpr std::chrono::milliseconds kUntimedAdapterTick{16};

// A UART's receive FIFO hands its bytes over when `trigger` of them have
// come, or after about four quiet character times: while a device sends,
// its bytes reach the host in pieces up to `trigger` characters apart. Where
// the system does not tell the trigger level, the largest common one is
// assumed (16550: 14; others up to half of a 32-byte FIFO). A pseudo-terminal
// has no FIFO: 1.
inline constexpr std::uint32_t kAssumedFifoTrigger = 16;

// How received bytes reach the host through the hardware behind a port, as
// each system tells it.
struct LineDelivery {
  std::chrono::microseconds adapterTick{0};  // a USB adapter's packet tick
  std::uint32_t fifoTrigger = 1;             // a UART's FIFO trigger level
};

// When the bytes received so far are one burst, to be reported at once.
struct BurstTiming {
  std::chrono::microseconds quiet;  // over after this long without a new byte
  std::chrono::microseconds limit;  // in any case this long after its first byte
  std::uint32_t maxBytes;           // or once this many bytes wait
};

// The one rule both serial backends follow: quiet for three character times,
// or two more than the UART's FIFO trigger level, or, behind an adapter, a
// little longer than its tick, whichever is longest; the upper bounds keep
// a steady stream flowing.
BurstTiming BurstTimingFor(std::uint32_t baud, std::chrono::microseconds adapterTick, std::uint32_t fifoTrigger = 1);

// The packet tick of a port's adapter: none for a UART, the latency timer
// (milliseconds) where one was read, else the assumed one.
std::chrono::microseconds AdapterTick(AdapterKind kind, std::optional<std::uint32_t> latencyTimerMs);

// The adapter behind a Windows port, from the name of its value in the
// registry's serial port map ("\Device\Serial0" is a UART, "\Device\VCP0"
// an FTDI adapter, "\Device\Silabser0" a CP210x, ...). Names nobody knows
// are taken for an adapter that does not tell its tick: a longer wait costs
// time, a shorter one could split an answer.
AdapterKind AdapterKindOfDeviceName(std::string_view deviceName);

}  // namespace vn::serial
