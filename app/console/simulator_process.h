#pragma once

// The device simulator as a child process on a pseudo-terminal of its own.

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vn::sim {

class SimulatorProcess {
 public:
  // Starts the simulator program at `program` with `arguments` and reads
  // the pty it made.
  SimulatorProcess(const std::string& program, const std::vector<std::string>& arguments);
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;
  ~SimulatorProcess();

  bool Started() const { return !pty_.empty(); }
  const std::string& Pty() const { return pty_; }
  // The packet tick of the USB adapter the simulator plays, if it plays
  // one: a pty cannot show it to the host as a real adapter's sysfs entry
  // or registry key does, so whoever maps the pty passes it on.
  std::optional<std::chrono::microseconds> AdapterTick() const { return adapterTick_; }
  // The summary line printed when the run ends (after PUSK, a hang-up or the
  // time-out); empty when none came within `limit`.
  std::string Summary(std::chrono::milliseconds limit = std::chrono::seconds(30));
  // Asks the simulator to end its run (it prints its summary first).
  void Terminate();
  // The next line the simulator prints: a line of several devices prints
  // one summary for each. Empty when none came within `limit`.
  std::string ReadLine(std::chrono::milliseconds limit);

 private:

  pid_t pid_ = -1;
  int output_ = -1;
  std::string buffered_;
  std::string pty_;
  std::string summary_;
  std::optional<std::chrono::microseconds> adapterTick_;
};

// A field of the summary's JSON line: the text after "name": up to the next
// comma or brace (strings keep their quotes).
std::string SummaryField(const std::string& summary, const std::string& name);

}  // namespace vn::sim
