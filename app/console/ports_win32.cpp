#include "app/console/ports.h"

namespace vn::console {

std::string PortLabel(std::string_view comName) { return std::string(comName); }

std::optional<std::string> ComNameFor(std::string_view argument, std::string& /*error*/) {
  return std::string(argument);
}

std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const std::string& /*self*/,
                                                      const std::vector<std::string>& /*options*/, std::string& error) {
  error = "--simulate needs the device simulator, which runs on Linux only";
  return nullptr;
}

}  // namespace vn::console
