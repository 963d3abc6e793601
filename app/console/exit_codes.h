#pragma once

namespace vn::console {

// The flasher's exit codes; scripts on production lines test them.
enum class ExitCode : int {
  Success = 0,
  Failure = 1,          // anything else went wrong (the simulator would not start, ...)
  Usage = 2,            // the command line asks for something the flasher does not do
  PortNotOpened = 3,    // the port is missing, busy or refused its settings
  NoDevice = 4,         // nothing answered "VERS", or not as the device does
  TransferFailed = 5,   // the device answered a block wrongly or fell silent
  BadImage = 6,         // the image file cannot be read or is not a valid image
  Interrupted = 130,    // Ctrl+C or a termination request: the port was closed
};

constexpr int ToInt(ExitCode code) { return static_cast<int>(code); }

}  // namespace vn::console
