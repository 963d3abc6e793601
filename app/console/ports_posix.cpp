#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "app/console/ports.h"
#include "components/serial/serial_port_map_posix.h"
#include "tools/sim_process/simulator_process.h"

namespace vn::console {
namespace {

// Device paths outside the fixed map (a pseudo-terminal, a by-id link to an
// adapter) are named from here on.
constexpr int kFirstExtraNumber = 200;

std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  ::free(resolved);
  return result;
}

class PtySimulatedDevice final : public SimulatedDevice {
 public:
  explicit PtySimulatedDevice(std::unique_ptr<tools::SimulatorProcess> process)
      : process_(std::move(process)), path_(process_->Pty()) {}
  const std::string& ComName() const override { return comName_; }
  const std::string& Path() const override { return path_; }
  std::optional<std::chrono::microseconds> AdapterTick() const { return process_->AdapterTick(); }
  std::string Finish() override {
    process_->Terminate();
    return process_->Summary(std::chrono::seconds(10));
  }

 private:
  std::unique_ptr<tools::SimulatorProcess> process_;
  std::string comName_ = "COM" + std::to_string(kFirstExtraNumber - 1);
  std::string path_;
};

}  // namespace

std::string PortLabel(std::string_view comName) {
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  return path ? std::string(comName) + " (" + *path + ")" : std::string(comName);
}

std::optional<std::string> ComNameFor(std::string_view argument, std::string& error) {
  if (argument.empty() || argument.front() != '/') return std::string(argument);
  const std::string wanted = RealPath(std::string(argument));
  std::vector<serial::PortMapEntry> map = serial::CurrentPortMap();
  for (const serial::PortMapEntry& entry : map) {
    if (RealPath(entry.devicePath) == wanted) return entry.comName;
  }
  if (::access(wanted.c_str(), F_OK) != 0) {
    error = "no such device: " + std::string(argument);
    return std::nullopt;
  }
  const std::string name = "COM" + std::to_string(kFirstExtraNumber + static_cast<int>(map.size()));
  map.push_back({name, std::string(argument)});
  serial::SetPortMap(map);
  return name;
}

std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const std::string& self, const std::vector<std::string>& options,
                                                      std::string& error) {
  // The simulator named by VN_SIMULATOR, else the one beside the flasher
  // (an installed pair), else the one of the build tree it came from.
  const std::size_t slash = self.rfind('/');
  const std::string beside = (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) +
                             "brantelmoor-sim";
  const char* overridden = ::getenv("VN_SIMULATOR");
  std::string program = VN_BUILT_SIMULATOR;
  if (overridden != nullptr && *overridden != '\0') {
    program = overridden;
  } else if (::access(beside.c_str(), X_OK) == 0) {
    program = beside;
  }
  std::vector<std::string> arguments{"--timeout", "600"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  auto process = std::make_unique<tools::SimulatorProcess>(program, arguments);
  if (!process->Started()) {
    error = "cannot start the device simulator " + program;
    return nullptr;
  }
  auto device = std::make_unique<PtySimulatedDevice>(std::move(process));
  std::vector<serial::PortMapEntry> map = serial::CurrentPortMap();
  map.push_back({device->ComName(), device->Path(), device->AdapterTick()});
  serial::SetPortMap(map);
  return device;
}

}  // namespace vn::console
