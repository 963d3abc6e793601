#include "tools/sim/host_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vn::sim {

void HostLink::Remove() {
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
}

bool HostLink::Create(const std::string& linkPath, const std::string& target, std::string& error) {
  struct stat existing {};
  if (::lstat(linkPath.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) ::unlink(linkPath.c_str());
  if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
    error = "symlink(" + linkPath + "): " + std::strerror(errno);
    return false;
  }
  path_ = linkPath;
  return true;
}

}  // namespace vn::sim
