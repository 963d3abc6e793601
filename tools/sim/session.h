#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/sim/device_model.h"
#include "tools/sim/line_port.h"
#include "tools/sim/options.h"

namespace vn::sim {

enum class SessionEnd { Launched, HungUp, Timeout, Terminated, SystemError };

// One device of the run, as it ends.
struct DeviceEnd {
  std::uint64_t device = 1;  // counting from 1
  const DeviceModel* model = nullptr;  // finished: its summary is final
  SessionEnd end = SessionEnd::Launched;
  bool last = true;  // the run ends with it
};

// Plays the run's devices on the port, one after another (`options.serve`),
// each a fresh DeviceModel of `options.device`, with the line dead before
// each (`appearAfter`, then `gap`). A device ends on PUSK plus the grace
// period (unless `answerAfterPusk`), the host hanging up (unless `stay`),
// silence for the time-out, or SIGINT / SIGTERM; every ending but PUSK ends
// the run. `ended` is called as each device ends. On SystemError `error`
// says which call failed. Returns how the last device ended.
SessionEnd RunSession(LinePort& port, const Options& options, const std::function<void(const DeviceEnd&)>& ended,
                      std::string& error);

// The summary's error text for an ending that is not the device's own.
const char* SessionEndText(SessionEnd end);

}  // namespace vn::sim
