#include "components/serial/line_delivery_posix.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string_view>

#include "components/serial/burst_timing.h"

namespace vn::serial {
namespace {

namespace fs = std::filesystem;

// usb-serial drivers (ftdi_sio) put the attribute on the port's device,
// some versions on its parent, the USB interface.
std::optional<fs::path> LatencyAttribute(const fs::path& device) {
  std::error_code ec;
  for (const fs::path& candidate : {device / "latency_timer", device / ".." / "latency_timer"}) {
    if (fs::exists(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> ReadNumber(const fs::path& attribute) {
  std::ifstream file(attribute);
  std::string text;
  if (!std::getline(file, text)) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc()) return std::nullopt;
  return value;
}

// ttyUSB ports hang off the usb-serial bus, ttyACM ports off a USB
// interface directly; UARTs sit on platform, pnp or pci buses.
bool OnUsb(const fs::path& device) {
  std::error_code ec;
  const fs::path subsystem = fs::read_symlink(device / "subsystem", ec);
  return !ec && std::string_view(subsystem.filename().native()).starts_with("usb");
}

}  // namespace

LineDelivery LineDeliveryOfTty(const fs::path& ttyClass, const std::string& ttyName) {
  const fs::path tty = ttyClass / ttyName;
  const fs::path device = tty / "device";
  std::error_code ec;
  if (!fs::exists(device, ec)) return {};
  if (const std::optional<fs::path> attribute = LatencyAttribute(device)) {
    // Every block waits for the device's short answer, which the adapter
    // holds for a whole tick: 1 ms instead of 16 saves seconds. A desktop
    // user usually may not write here; then the tick stays as it is.
    std::ofstream(*attribute) << "1";
    return {AdapterTick(AdapterKind::TimedUsb, ReadNumber(*attribute)), 1};
  }
  if (OnUsb(device)) return {AdapterTick(AdapterKind::UntimedUsb, std::nullopt), 1};
  // 8250-type UARTs show their receive trigger level.
  const std::optional<std::uint32_t> trigger = ReadNumber(tty / "rx_trig_bytes");
  return {std::chrono::microseconds{0}, trigger && *trigger > 0 ? *trigger : kAssumedFifoTrigger};
}

}  // namespace vn::serial
