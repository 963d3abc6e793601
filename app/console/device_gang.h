#pragma once

#include <string>
#include <vector>

#include "app/console/device_job.h"
#include "app/console/job_reporter.h"

namespace vn::console {

struct PortTarget {
  std::string comName;  // what the scheme opens
  std::string label;    // how the person knows it
  std::string missing;  // why there is no such port, when there is none
};

// Probes, and with `settings.write` updates, the device on every port at
// the same time, each on its own. With `found` (--auto) a port whose device
// does not answer as a Brantelmoor is left out rather than failed. The
// exit code is that of the first device in the given order that failed.
ExitCode RunGang(const std::vector<PortTarget>& ports, const JobSettings& settings, JobReporter& reporter,
                 bool trace, bool onlyAnswering);

}  // namespace vn::console
