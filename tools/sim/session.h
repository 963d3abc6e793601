#pragma once

#include <string>

#include "tools/sim/device_model.h"
#include "tools/sim/line_port.h"
#include "tools/sim/options.h"

namespace vn::sim {

enum class SessionEnd { Launched, HungUp, Timeout, Terminated, SystemError };

// Plays `model` on the port until the run ends: PUSK plus the grace period,
// the host hanging up (unless `stay`), silence for the time-out, or SIGINT /
// SIGTERM. On SystemError `error` says which call failed.
SessionEnd RunSession(LinePort& port, const Options& options, DeviceModel& model, std::string& error);

// The summary's error text for an ending that is not the device's own.
const char* SessionEndText(SessionEnd end);

}  // namespace vn::sim
