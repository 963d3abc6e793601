#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vn::console {

// How the flasher names a port to the person at the terminal: the COM name,
// and on Linux the device behind it.
std::string PortLabel(std::string_view comName);

// The COM name the scheme opens for a port given on the command line: a
// COM name as it stands, or (Linux) a device path, which is looked up in
// the port map (a path outside the map gets a name of its own). None, with
// `error` set, when the argument names no port.
std::optional<std::string> ComNameFor(std::string_view argument, std::string& error);

// Whether the port a job had open is gone (a USB adapter pulled out): it
// can no longer be opened for a reason other than being busy.
bool PortVanished(std::string_view comName);

// Whether --auto tries the port: Linux USB serial adapters (every port with
// `allPorts`); on Windows every listed port.
bool IsAutoCandidate(std::string_view comName, bool allPorts);

// The device simulator started for --simulate, known to the scheme under
// its own COM name while it lives.
class SimulatedDevice {
 public:
  virtual ~SimulatedDevice() = default;
  virtual const std::string& ComName() const = 0;
  virtual const std::string& Path() const = 0;
  // The simulator's one-line account of what it received (it ends first).
  virtual std::string Finish() = 0;
};

// Starts the simulator that sits beside the flasher (`self` is argv[0]) as
// the `index`th simulated port; none, with `error` set, where there is none
// (Windows) or it failed.
std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const std::string& self, const std::vector<std::string>& options,
                                                      int index, std::string& error);

}  // namespace vn::console
