// A handle opened with FILE_APPEND_DATA but without FILE_WRITE_DATA writes
// at the end of the file only, NTFS and SMB servers moving to the end and
// writing in one step, so one WriteFile of a line never mixes with another
// writer's. Not every file system keeps that promise (wine's two handles on
// one file overwrite each other's lines), so the writers also take a lock
// of their own around each line.
#include "app/console/history_log.h"

#include <iterator>

#include "app/console/system_message_win32.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::console {
namespace {

// The byte every log writer locks while it appends. Windows locks are
// binding for writes too, so the byte lies far beyond any log's end.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  // "C:\log.csv" lives in "C:\", not in the drive's current folder "C:".
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// Holds the writers' lock for a scope. Where the file system has no locks
// the log goes on without.
class WritersLock {
 public:
  explicit WritersLock(HANDLE file) : file_(file) {
    at_.OffsetHigh = kLockOffsetHigh;
    locked_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, /*nNumberOfBytesToLockLow=*/1, 0, &at_);
  }
  WritersLock(const WritersLock&) = delete;
  WritersLock& operator=(const WritersLock&) = delete;
  ~WritersLock() {
    if (locked_) ::UnlockFileEx(file_, 0, 1, 0, &at_);
  }

 private:
  HANDLE file_;
  OVERLAPPED at_{};
  BOOL locked_ = FALSE;
};

class Win32AppendOnlyFile final : public AppendOnlyFile {
 public:
  Win32AppendOnlyFile(serial::FileHandle file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

  bool Append(std::string_view text, std::string& error) override {
    const WritersLock lock(file_.Get());
    return AppendLocked(text, error);
  }

  bool AppendIfEmpty(std::string_view text, std::string& error) override {
    const WritersLock lock(file_.Get());
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.Get(), &size)) return Failed("cannot look at the log ", error);
    return size.QuadPart != 0 || AppendLocked(text, error);
  }

 private:
  bool AppendLocked(std::string_view text, std::string& error) {
    // Both offset halves at 0xFFFFFFFF mean "at the end of the file" even
    // where the handle's own append mode falls short.
    OVERLAPPED atEnd{};
    atEnd.Offset = 0xFFFFFFFF;
    atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, &atEnd)) {
      return Failed("cannot write to the log ", error);
    }
    if (written != text.size()) {
      error = "the log " + path_ + " took only " + std::to_string(written) + " of " + std::to_string(text.size()) +
              " bytes (disk full?)";
      return false;
    }
    if (!::FlushFileBuffers(file_.Get())) return Failed("cannot flush the log ", error);
    return true;
  }

  bool Failed(const char* what, std::string& error) const {
    error = what + path_ + ": " + SystemMessage(::GetLastError());
    return false;
  }

  serial::FileHandle file_;
  std::string path_;
};

}  // namespace

std::unique_ptr<AppendOnlyFile> AppendOnlyFile::Open(const std::string& path, std::string& error) {
  const std::string folder = Folder(path);
  const DWORD attributes = ::GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    error = "cannot write the log " + path + ": its folder " + folder + " does not exist";
    return nullptr;
  }
  // Reading too, because LockFileEx wants read or write access and
  // FILE_WRITE_DATA would end the append-only writing.
  serial::FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    const DWORD code = ::GetLastError();
    error = "cannot write the log " + path + ": " +
            (code == ERROR_ACCESS_DENIED ? "the folder " + folder + " or the file is read-only for this user"
                                         : SystemMessage(code));
    return nullptr;
  }
  return std::make_unique<Win32AppendOnlyFile>(std::move(file), path);
}

std::string HostName() {
  wchar_t name[256] = {};
  DWORD length = static_cast<DWORD>(std::size(name));
  if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &length)) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace vn::console
