#pragma once

#include <string>
#include <vector>

#include "app/console/device_job.h"
#include "app/console/job_reporter.h"

namespace vn::console {

struct WatchSettings {
  std::vector<std::string> ports;  // as given (COM names, device paths, simulated ports)
  bool autoPorts = false;          // also every candidate port that appears
  bool allPorts = false;
  bool bell = true;
  bool trace = false;
};

// Runs until Ctrl+C: updates every device as it appears on a watched port,
// once per connection. A device that was updated (or failed) is looked at
// again now and then; only after it has gone (its port vanished, or it
// stopped answering) and come back is it updated again.
ExitCode RunWatch(const WatchSettings& watch, const JobSettings& settings, JobReporter& reporter);

}  // namespace vn::console
