#pragma once

// The far end of a serial line for tests: a pseudo-terminal whose slave a COM
// name is mapped to, driven by the test through the master.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/serial/posix_descriptor.h"
#include "components/serial/serial_port_map_posix.h"
#include "components/serial/termios2_linux.h"

namespace vn::test {

using namespace std::chrono_literals;

// Generous: the sanitizer builds are slow, and a healthy run never waits this long.
inline constexpr std::chrono::milliseconds kPatience = 5s;

class PtyPeer {
 public:
  PtyPeer() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    char name[256] = {};
    if (master_.Get() < 0 || ::grantpt(master_.Get()) != 0 || ::unlockpt(master_.Get()) != 0 ||
        ::ptsname_r(master_.Get(), name, sizeof name) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    slavePath_ = name;
    // Held by the test: the tty then outlives the port's closes, and its
    // settings can be read back here.
    slave_ = serial::PosixDescriptor(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (slave_.Get() < 0) ADD_FAILURE() << "cannot open " << slavePath_;
  }

  serial::PortMapEntry Entry(std::string comName) const { return {std::move(comName), slavePath_}; }
  int SlaveFd() const { return slave_.Get(); }

  // Writes everything; fails the test when the line takes nothing for a while.
  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(master_.Get(), bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) {
        ADD_FAILURE() << "write to the master failed: " << errno;
        return;
      }
      pollfd entry{master_.Get(), POLLOUT, 0};
      if (::poll(&entry, 1, static_cast<int>(kPatience.count())) == 0) {
        ADD_FAILURE() << "the port stopped taking bytes";
        return;
      }
    }
  }

  // What the port sent: up to `count` bytes, waiting at most kPatience.
  std::string Read(std::size_t count) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
      bytes += ReadAvailable(10ms, count - bytes.size());
    }
    return bytes;
  }

  // What the port has sent, at most `most` bytes, as soon as anything is
  // there; empty when nothing came within `limit`.
  std::string ReadAvailable(std::chrono::milliseconds limit, std::size_t most = 4096) {
    pollfd entry{master_.Get(), POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(limit.count())) <= 0) return {};
    char buffer[4096];
    const ssize_t n = ::read(master_.Get(), buffer, std::min(sizeof buffer, most));
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }

  // The other end goes away, as a device that is unplugged.
  void CloseMaster() { master_.Reset(); }

  std::uint32_t SlaveBaud() const {
    serial::RawLineParams params;
    EXPECT_TRUE(serial::ReadRawLine(slave_.Get(), params));
    return params.baud;
  }

 private:
  serial::PosixDescriptor master_;
  serial::PosixDescriptor slave_;
  std::string slavePath_;
};

// Points COM names at devices for the lifetime of the object.
class ScopedPortMap {
 public:
  explicit ScopedPortMap(std::vector<serial::PortMapEntry> map) { serial::SetPortMap(std::move(map)); }
  ScopedPortMap(const ScopedPortMap&) = delete;
  ScopedPortMap& operator=(const ScopedPortMap&) = delete;
  ~ScopedPortMap() { serial::SetPortMap(std::nullopt); }
};

}  // namespace vn::test
