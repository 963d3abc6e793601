#pragma once

#include <cstdint>
#include <string>

#include "components/serial/posix_descriptor.h"

namespace vn::sim {

// The simulator's end of the line: the master side of a new pty, or an
// existing serial device. Non-blocking, raw.
struct LinePort {
  serial::PosixDescriptor fd;
  std::string slavePath;  // pty only: what the host opens
  bool pty = false;
};

// False with `error` naming the failed call and the system's reason.
bool OpenPtyPort(LinePort& port, std::string& error);
bool OpenDevicePort(const std::string& path, std::uint32_t baud, LinePort& port, std::string& error);

}  // namespace vn::sim
