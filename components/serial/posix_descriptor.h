#pragma once

#include <unistd.h>

#include <utility>

namespace vn::serial {

// A POSIX descriptor that closes itself; -1 is "none".
class PosixDescriptor {
 public:
  PosixDescriptor() = default;
  explicit PosixDescriptor(int fd) : fd_(fd) {}
  PosixDescriptor(PosixDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  PosixDescriptor& operator=(PosixDescriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  PosixDescriptor(const PosixDescriptor&) = delete;
  PosixDescriptor& operator=(const PosixDescriptor&) = delete;
  ~PosixDescriptor() { Reset(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace vn::serial
