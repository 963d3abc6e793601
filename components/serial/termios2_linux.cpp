// <asm/termbits.h> (termios2, BOTHER) clashes with <termios.h>, so this file
// is the only one that includes it, and speaks to the rest through plain
// structures.
#include "components/serial/termios2_linux.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace vn::serial {
namespace {

bool DataBitsFlag(std::uint8_t bits, tcflag_t& flag) {
  switch (bits) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
  }
}

bool ParityFlags(std::uint8_t parity, tcflag_t& flags) {
  switch (parity) {
    case 0: flags = 0; return true;
    case 1: flags = PARENB | PARODD; return true;
    case 2: flags = PARENB; return true;
    case 3: flags = PARENB | PARODD | CMSPAR; return true;
    case 4: flags = PARENB | CMSPAR; return true;
    default: return false;
  }
}

}  // namespace

bool ReadRawLine(int fd, RawLineParams& params) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  params.baud = tio.c_ospeed;
  switch (tio.c_cflag & CSIZE) {
    case CS5: params.dataBits = 5; break;
    case CS6: params.dataBits = 6; break;
    case CS7: params.dataBits = 7; break;
    default: params.dataBits = 8; break;
  }
  if ((tio.c_cflag & PARENB) == 0) {
    params.parity = 0;
  } else if ((tio.c_cflag & CMSPAR) != 0) {
    params.parity = (tio.c_cflag & PARODD) != 0 ? 3 : 4;
  } else {
    params.parity = (tio.c_cflag & PARODD) != 0 ? 1 : 2;
  }
  params.stopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 0;
  params.ctsFlow = (tio.c_cflag & CRTSCTS) != 0;
  params.xonXoffOut = (tio.c_iflag & IXON) != 0;
  params.xonXoffIn = (tio.c_iflag & IXOFF) != 0;
  params.xonChar = tio.c_cc[VSTART];
  params.xoffChar = tio.c_cc[VSTOP];
  params.checkParity = (tio.c_iflag & INPCK) != 0;
  return true;
}

bool ApplyRawLine(int fd, const RawLineParams& params) {
  tcflag_t size = 0;
  tcflag_t parity = 0;
  if (params.baud == 0 || !DataBitsFlag(params.dataBits, size) || !ParityFlags(params.parity, parity) ||
      params.stopBits > 2) {
    return false;
  }
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;

  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK);
  if (params.xonXoffOut) tio.c_iflag |= IXON;
  if (params.xonXoffIn) tio.c_iflag |= IXOFF;
  if (params.checkParity) tio.c_iflag |= INPCK;
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);

  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD);
  tio.c_cflag |= size | parity | CREAD | CLOCAL | BOTHER;
  if (params.stopBits != 0) tio.c_cflag |= CSTOPB;
  if (params.ctsFlow) tio.c_cflag |= CRTSCTS;
  tio.c_ispeed = params.baud;
  tio.c_ospeed = params.baud;

  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = params.xonChar;
  tio.c_cc[VSTOP] = params.xoffChar;
  return ioctl(fd, TCSETS2, &tio) == 0;
}

void RequestLowLatency(int fd) {
  struct serial_struct serial {};
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;  // not a serial driver (a pty, say)
  serial.flags |= ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &serial);
}

}  // namespace vn::serial
