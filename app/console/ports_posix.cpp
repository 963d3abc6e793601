#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include <chrono>
#include <memory>

#include "app/console/ports.h"
#include "components/serial/serial_port_map_posix.h"
#include "app/console/simulator_process.h"

namespace vn::console {
namespace {

// Device paths outside the fixed map (a pseudo-terminal, a by-id link to an
// adapter) and simulated devices get the highest numbers nobody uses: the
// fixed map never goes beyond COM160.
constexpr int kHighestComNumber = 255;

std::string FreeComName() {
  std::set<int> used;
  for (const serial::PortMapEntry& entry : serial::CurrentPortMap()) {
    if (entry.comName.size() > 3) used.insert(std::atoi(entry.comName.c_str() + 3));
  }
  for (int number = kHighestComNumber; number > 0; --number) {
    if (!used.contains(number)) return "COM" + std::to_string(number);
  }
  return {};
}

std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  ::free(resolved);
  return result;
}

class PtySimulatedDevice final : public SimulatedDevice {
 public:
  PtySimulatedDevice(std::unique_ptr<sim::SimulatorProcess> process, std::string comName)
      : process_(std::move(process)), comName_(std::move(comName)), path_(process_->Pty()) {}
  const std::string& ComName() const override { return comName_; }
  const std::string& Path() const override { return path_; }
  std::optional<std::chrono::microseconds> AdapterTick() const { return process_->AdapterTick(); }
  std::string Finish() override {
    process_->Terminate();
    return process_->Summary(std::chrono::seconds(10));
  }

 private:
  std::unique_ptr<sim::SimulatorProcess> process_;
  std::string comName_;
  std::string path_;
};

}  // namespace

std::string PortLabel(std::string_view comName) {
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  return path ? std::string(comName) + " (" + *path + ")" : std::string(comName);
}

std::optional<std::string> ComNameFor(std::string_view argument, std::string& error) {
  if (argument.empty() || argument.front() != '/') return std::string(argument);
  const std::string given(argument);
  const std::string wanted = RealPath(given);
  const std::vector<serial::PortMapEntry> map = serial::CurrentPortMap();
  // A path named before keeps its name, whatever device it leads to now (a
  // link that an adapter's reconnection moved).
  for (const serial::PortMapEntry& entry : map) {
    if (entry.devicePath == given) return entry.comName;
  }
  if (::access(wanted.c_str(), F_OK) != 0) {
    error = "no such device: " + given;
    return std::nullopt;
  }
  for (const serial::PortMapEntry& entry : map) {
    if (RealPath(entry.devicePath) == wanted) return entry.comName;
  }
  std::string name = FreeComName();
  if (name.empty()) {
    error = "too many ports: no COM name is left for " + given;
    return std::nullopt;
  }
  serial::AddPortMapEntry({name, given});
  return name;
}

bool PortVanished(std::string_view comName) {
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  if (!path) return true;
  // The job's own descriptor is still open: a second open is refused as
  // busy or succeeds, where a device that is gone is not there at all (a
  // pulled adapter) or hung up (a pseudo-terminal whose other side closed).
  const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == ENOENT || errno == ENXIO || errno == ENODEV || errno == EIO;
}

bool IsAutoCandidate(std::string_view comName, bool allPorts) {
  if (allPorts) return true;
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  if (!path) return false;
  const std::string name = path->substr(path->rfind('/') + 1);
  return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const std::string& self, const std::vector<std::string>& options,
                                                      int index, std::string& error) {
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
  auto process = std::make_unique<sim::SimulatorProcess>(program, arguments);
  if (!process->Started()) {
    error = "cannot start the device simulator " + program;
    return nullptr;
  }
  // Simulated ports are numbered down from COM255 in their order.
  auto device = std::make_unique<PtySimulatedDevice>(std::move(process), "COM" + std::to_string(kHighestComNumber - index));
  serial::AddPortMapEntry({device->ComName(), device->Path(), device->AdapterTick()});
  return device;
}

}  // namespace vn::console
