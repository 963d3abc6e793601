// O_APPEND moves to the end and writes in one step, so one write() of a
// line never mixes with another writer's on a local file system. NFS keeps
// no such promise between machines; there the writers' lock, which also
// makes the client look at the file's true end, keeps lines apart.
#include "app/console/history_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "components/serial/posix_descriptor.h"

namespace vn::console {
namespace {

std::string Folder(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

// Holds flock() on a descriptor for a scope; every writer of the log
// takes it, other programs need not. Where the file system has no locks the
// log goes on without.
class FileLock {
 public:
  explicit FileLock(int fd) : fd_(fd) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { ::flock(fd_, LOCK_UN); }

 private:
  int fd_;
};

class PosixAppendOnlyFile final : public AppendOnlyFile {
 public:
  PosixAppendOnlyFile(serial::PosixDescriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

  bool Append(std::string_view text, std::string& error) override {
    const FileLock lock(fd_.Get());
    return AppendLocked(text, error);
  }

  bool AppendIfEmpty(std::string_view text, std::string& error) override {
    const FileLock lock(fd_.Get());
    struct stat status {};
    if (::fstat(fd_.Get(), &status) != 0) return Failed("cannot look at the log ", errno, error);
    return status.st_size != 0 || AppendLocked(text, error);
  }

 private:
  bool AppendLocked(std::string_view text, std::string& error) {
    ssize_t written = 0;
    do {
      written = ::write(fd_.Get(), text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) return Failed("cannot write to the log ", errno, error);
    if (static_cast<std::size_t>(written) != text.size()) {
      error = "the log " + path_ + " took only " + std::to_string(written) + " of " + std::to_string(text.size()) +
              " bytes (disk full?)";
      return false;
    }
    // A pipe or a terminal given as the log has nothing to flush to disk.
    if (::fdatasync(fd_.Get()) != 0 && errno != EINVAL) return Failed("cannot flush the log ", errno, error);
    return true;
  }

  bool Failed(const char* what, int code, std::string& error) const {
    error = what + path_ + ": " + std::strerror(code);
    return false;
  }

  serial::PosixDescriptor fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::Open(const std::string& path, std::string& error) {
  const std::string folder = Folder(path);
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    error = "cannot write the log " + path + ": its folder " + folder + " does not exist";
    return nullptr;
  }
  serial::PosixDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!fd.Valid()) {
    const int code = errno;
    // An existing log that may be written is fine in a read-only folder.
    if ((code == EACCES || code == EROFS) && ::access(folder.c_str(), W_OK) != 0) {
      error = "cannot write the log " + path + ": its folder " + folder + " is read-only";
    } else {
      error = "cannot write the log " + path + ": " + std::strerror(code);
    }
    return nullptr;
  }
  return std::make_unique<PosixAppendOnlyFile>(std::move(fd), path);
}

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace vn::console
