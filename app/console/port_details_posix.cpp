#include "app/console/port_details.h"

#include <fstream>
#include <optional>

#include "components/serial/serial_port_map_posix.h"

namespace vn::console {
namespace {

namespace fs = std::filesystem;

// The port's device sits two levels under the USB device at most (usb-serial
// port, then interface); a little more leaves room for drivers that add a
// level, without ever reaching a UART's distant ancestors.
constexpr int kLevelsUpToUsbDevice = 4;

// A sysfs attribute: one line, which USB string descriptors may pad with
// blanks. Empty when the device does not have it.
std::string Attribute(const fs::path& file) {
  std::ifstream stream(file);
  std::string text;
  std::getline(stream, text);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<fs::path> UsbDeviceAbove(const fs::path& device) {
  std::error_code ec;
  fs::path dir = fs::canonical(device, ec);
  if (ec) return std::nullopt;
  for (int level = 0; level <= kLevelsUpToUsbDevice && dir.has_relative_path(); ++level) {
    if (fs::exists(dir / "idVendor", ec)) return dir;
    dir = dir.parent_path();
  }
  return std::nullopt;
}

std::string UsbDescription(const PortDetails& d) {
  std::string name = d.maker;
  if (!d.product.empty()) name += (name.empty() ? "" : " ") + d.product;
  if (name.empty()) name = "USB serial adapter";
  std::string ids = d.vendorProduct;
  if (!d.serial.empty()) ids += (ids.empty() ? "serial " : ", serial ") + d.serial;
  return ids.empty() ? name : name + " (" + ids + ")";
}

}  // namespace

PortDetails DetailsOfTty(const fs::path& sysClassTty, const std::string& ttyName) {
  const fs::path device = sysClassTty / ttyName / "device";
  std::error_code ec;
  if (ttyName.empty() || !fs::exists(device, ec)) return {};
  const std::optional<fs::path> usb = UsbDeviceAbove(device);
  if (!usb) return {{}, {}, {}, {}, "serial port (UART)"};
  PortDetails details;
  const std::string vendor = Attribute(*usb / "idVendor");
  const std::string product = Attribute(*usb / "idProduct");
  if (!vendor.empty() && !product.empty()) details.vendorProduct = vendor + ":" + product;
  details.maker = Attribute(*usb / "manufacturer");
  details.product = Attribute(*usb / "product");
  details.serial = Attribute(*usb / "serial");
  details.description = UsbDescription(details);
  return details;
}

PortDetails DetailsOfPort(std::string_view comName) {
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  if (!path) return {};
  // A by-id or by-path link names the same tty; a pseudo-terminal
  // (/dev/pts/N) is not a tty class entry.
  std::error_code ec;
  const fs::path device = fs::canonical(*path, ec);
  if (ec || device.parent_path() != "/dev") return {};
  return DetailsOfTty("/sys/class/tty", device.filename().string());
}

}  // namespace vn::console
