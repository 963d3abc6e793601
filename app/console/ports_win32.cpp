#include "app/console/ports.h"
#include "components/serial/win32_handles.h"

namespace vn::console {

std::string PortLabel(std::string_view comName) { return std::string(comName); }

std::optional<std::string> ComNameFor(std::string_view argument, std::string& /*error*/) {
  return std::string(argument);
}

bool PortVanished(std::string_view comName) {
  // While the job's own handle is open a second open is refused as busy;
  // a port whose adapter is gone is not found at all.
  const std::string path = "\\\\.\\" + std::string(comName);
  HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    ::CloseHandle(handle);
    return false;
  }
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DEVICE_NOT_CONNECTED ||
         error == ERROR_BAD_UNIT;
}

bool IsAutoCandidate(std::string_view /*comName*/, bool /*allPorts*/) { return true; }

std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const std::string& /*self*/,
                                                      const std::vector<std::string>& /*options*/, int /*index*/,
                                                      std::string& error) {
  error = "--simulate needs the device simulator, which runs on Linux only";
  return nullptr;
}

}  // namespace vn::console
