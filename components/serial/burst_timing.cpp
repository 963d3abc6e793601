#include "components/serial/burst_timing.h"

#include <algorithm>
#include <array>

namespace vn::serial {
namespace {

using std::chrono::microseconds;

constexpr std::uint32_t kQuietCharacters = 3;
constexpr std::uint32_t kBitsPerCharacter = 10;  // start, 8 data, stop

// Below this a sleeping reader cannot tell quiet from its own wake-up
// delay; only lines far faster than the device's are affected.
constexpr microseconds kShortestQuiet{500};

// An adapter's packets come a tick apart give or take the USB frame (1 ms)
// and the host's kernel, whose tty worker now and then passes bytes on
// milliseconds late on a busy or virtual machine (measured: one packet in
// a few hundred more than 1 ms late, a few up to 6 ms; with a 1 ms margin
// one update in five through a 1 ms adapter failed). The quiet outlasts a
// tick by this much, more for long ticks.
constexpr microseconds kTickMargin{4000};
constexpr std::uint32_t kTickMarginShare = 4;  // a quarter of the tick

// A steady stream is handed on at least this often and in pieces of at
// most kBurstBytes, whatever the quiet.
constexpr microseconds kShortestLimit{20'000};
constexpr std::uint32_t kLimitInQuiets = 4;
constexpr std::uint32_t kBurstBytes = 1024;

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
    if (t >= 'a' && t <= 'z') t = static_cast<char>(t - 'a' + 'A');
    return p == t;
  });
}

}  // namespace

BurstTiming BurstTimingFor(std::uint32_t baud, microseconds adapterTick, std::uint32_t fifoTrigger) {
  const std::uint64_t rate = std::max<std::uint32_t>(baud, 1);
  const std::uint64_t quietCharacters = std::max<std::uint64_t>(kQuietCharacters, std::uint64_t{fifoTrigger} + 2);
  const std::uint64_t characters = 1'000'000ULL * kBitsPerCharacter * quietCharacters;
  microseconds quiet{static_cast<microseconds::rep>((characters + rate - 1) / rate)};  // rounded up
  quiet = std::max(quiet, kShortestQuiet);
  if (adapterTick.count() > 0) {
    quiet = std::max(quiet, adapterTick + std::max(kTickMargin, adapterTick / kTickMarginShare));
  }
  return {quiet, std::max(kShortestLimit, quiet * kLimitInQuiets), kBurstBytes};
}

microseconds AdapterTick(AdapterKind kind, std::optional<std::uint32_t> latencyTimerMs) {
  switch (kind) {
    case AdapterKind::Uart: return microseconds{0};
    case AdapterKind::TimedUsb:
      // FTDI takes 1..255 ms; 0 reads as "not set", which leaves the default.
      if (latencyTimerMs && *latencyTimerMs > 0) return std::chrono::milliseconds(std::min<std::uint32_t>(*latencyTimerMs, 255));
      return kUntimedAdapterTick;
    case AdapterKind::UntimedUsb: return kUntimedAdapterTick;
  }
  return kUntimedAdapterTick;
}

AdapterKind AdapterKindOfDeviceName(std::string_view deviceName) {
  // Prefixes in upper case; the registry's names come in any case.
  constexpr std::string_view kDevice = "\\DEVICE\\";
  if (!StartsWithFolded(deviceName, kDevice)) return AdapterKind::UntimedUsb;
  const std::string_view driverName = deviceName.substr(kDevice.size());
  if (StartsWithFolded(driverName, "SERIAL")) return AdapterKind::Uart;  // serial.sys: a UART
  if (StartsWithFolded(driverName, "VCP")) return AdapterKind::TimedUsb;  // FTDI's driver
  return AdapterKind::UntimedUsb;
}

}  // namespace vn::serial
