#include "app/console/port_trouble.h"

#include "app/console/system_message_win32.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::console {
std::string WhyPortNotOpened(std::string_view comName) {
  const std::string name(comName);
  if (name.find('\0') != std::string::npos) return name + " is not a port name";
  // The "\\.\" prefix reaches every device name; without it only COM1..COM9
  // are found. A port is opened without sharing, so any other program that
  // has it open makes this open fail with ERROR_ACCESS_DENIED.
  const std::string path = "\\\\.\\" + name;
  const serial::FileHandle port(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0, nullptr,
                                              OPEN_EXISTING, /*dwFlagsAndAttributes=*/0, nullptr));
  if (port.Valid()) return {};
  const DWORD code = ::GetLastError();
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return name + " is in use by another program (close it, e.g. a terminal or another flasher)";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return name + " does not exist (unplugged?)";
    default: return name + " cannot be opened: " + SystemMessage(code);
  }
}

}  // namespace vn::console
