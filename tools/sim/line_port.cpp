#include "tools/sim/line_port.h"

#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

#include "components/serial/termios2_linux.h"

namespace vn::sim {
namespace {

bool Fail(const char* call, const std::string& subject, std::string& error) {
  error = std::string(call) + "(" + subject + "): " + std::strerror(errno);
  return false;
}

}  // namespace

bool OpenPtyPort(LinePort& port, std::string& error) {
  serial::PosixDescriptor master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (!master.Valid()) return Fail("posix_openpt", "", error);
  if (grantpt(master.Get()) != 0) return Fail("grantpt", "", error);
  if (unlockpt(master.Get()) != 0) return Fail("unlockpt", "", error);
  const char* name = ptsname(master.Get());
  if (name == nullptr) return Fail("ptsname", "", error);
  const std::string slavePath = name;

  // Raw before the host comes: a cooked slave would echo the host's first
  // bytes back to it and turn CR into LF. The settings outlive this open,
  // since the master keeps the pair alive.
  serial::PosixDescriptor slave(::open(slavePath.c_str(), O_RDWR | O_NOCTTY));
  if (!slave.Valid()) return Fail("open", slavePath, error);
  termios tio{};
  if (tcgetattr(slave.Get(), &tio) != 0) return Fail("tcgetattr", slavePath, error);
  cfmakeraw(&tio);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (tcsetattr(slave.Get(), TCSANOW, &tio) != 0) return Fail("tcsetattr", slavePath, error);
  slave.Reset();

  port.fd = std::move(master);
  port.slavePath = slavePath;
  port.pty = true;
  return true;
}

bool OpenDevicePort(const std::string& path, std::uint32_t baud, LinePort& port, std::string& error) {
  serial::PosixDescriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
  if (!fd.Valid()) return Fail("open", path, error);
  serial::RawLineParams params;
  params.baud = baud;
  if (!serial::ApplyRawLine(fd.Get(), params)) return Fail("ApplyRawLine", path, error);
  serial::RequestLowLatency(fd.Get());
  port.fd = std::move(fd);
  port.slavePath.clear();
  port.pty = false;
  return true;
}

}  // namespace vn::sim
