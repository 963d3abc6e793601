#pragma once

#include <string>

namespace vn::sim {

// A symlink to the pty slave under a name the tests chose in advance,
// removed again when the simulator ends.
class HostLink {
 public:
  HostLink() = default;
  HostLink(const HostLink&) = delete;
  HostLink& operator=(const HostLink&) = delete;
  ~HostLink() { Remove(); }

  // Replaces an older symlink of that name, never any other file.
  bool Create(const std::string& linkPath, const std::string& target, std::string& error);
  void Remove();

 private:
  std::string path_;
};

}  // namespace vn::sim
