#include "app/console/port_trouble.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>
#include <set>

#include "app/console/port_details.h"
#include "components/serial/posix_descriptor.h"
#include "components/serial/serial_port_map_posix.h"

namespace vn::console {
namespace {

namespace fs = std::filesystem;

// The kernel cuts a program's name in /proc/<pid>/comm to this many bytes.
constexpr std::size_t kCommLength = 15;

std::optional<int> PidOf(const std::string& name) {
  if (name.empty() || name.size() > 9 || !std::all_of(name.begin(), name.end(), [](char c) {
        return c >= '0' && c <= '9';
      })) {
    return std::nullopt;
  }
  return std::stoi(name);
}

std::string FirstLine(const fs::path& file) {
  std::ifstream stream(file);
  std::string text;
  std::getline(stream, text);
  return text;
}

// comm, or the whole name from the command line where comm was cut short
// ("brantelmoor-fla" is the flasher).
std::string ProgramName(const fs::path& process) {
  const std::string comm = FirstLine(process / "comm");
  if (comm.size() < kCommLength) return comm;
  std::ifstream cmdline(process / "cmdline");
  std::string argv0;
  std::getline(cmdline, argv0, '\0');
  const std::string program = fs::path(argv0).filename().string();
  return program.starts_with(comm) ? program : comm;
}

bool HasDescriptorOn(const fs::path& process, const std::set<std::string>& targets) {
  std::error_code ec;
  fs::directory_iterator fds(process / "fd", ec);
  if (ec) return false;  // another user's process, or it just ended
  for (const fs::directory_entry& fd : fds) {
    const fs::path target = fs::read_symlink(fd.path(), ec);
    if (!ec && targets.contains(target.string())) return true;
  }
  return false;
}

std::string GroupName(gid_t gid) {
  const struct group* entry = ::getgrgid(gid);
  return entry != nullptr ? std::string(entry->gr_name) : std::to_string(gid);
}

enum class OpenOutcome { Opens, Busy, Denied };

// Opens the device the way the port does, lock included, and lets go at
// once. An exclusive tty (TIOCEXCL, as ModemManager sets) refuses with
// EBUSY; a flasher's lock refuses the flock.
OpenOutcome TryOpen(const std::string& devicePath) {
  const serial::PosixDescriptor fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    if (errno == EBUSY) return OpenOutcome::Busy;
    return errno == EACCES || errno == EPERM ? OpenOutcome::Denied : OpenOutcome::Opens;
  }
  return ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK ? OpenOutcome::Busy : OpenOutcome::Opens;
}

PortFacts FactsOf(std::string_view comName, const std::string& devicePath) {
  PortFacts facts;
  facts.devicePath = devicePath;
  struct stat status {};
  if (::stat(devicePath.c_str(), &status) != 0) {
    facts.exists = errno != ENOENT && errno != ENOTDIR;
    return facts;
  }
  facts.group = GroupName(status.st_gid);
  if (::access(devicePath.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
    facts.readWrite = false;
    return facts;
  }
  facts.holders = HoldersOf(devicePath);
  if (!facts.holders.empty()) {
    facts.vendorProduct = DetailsOfPort(comName).vendorProduct;
    return facts;
  }
  const OpenOutcome outcome = TryOpen(devicePath);
  facts.readWrite = outcome != OpenOutcome::Denied;
  facts.busy = outcome == OpenOutcome::Busy;
  return facts;
}

std::string PermissionText(const PortFacts& facts) {
  const std::string start = "permission denied on " + facts.devicePath + ": ";
  // Joining root's group would be no fix; a udev rule gives the port away.
  if (facts.group.empty() || facts.group == "root" || facts.group == "0") {
    return start + "it belongs to root alone; a udev rule can give it to a group of yours, e.g. GROUP=\"dialout\", " +
           "MODE=\"0660\"";
  }
  return start + "add yourself to its group: sudo usermod -aG " + facts.group + " $USER, then log in again";
}

// ModemManager opens every new serial port to look for a modem, and keeps
// an adapter it likes.
std::string ModemManagerHint(const std::string& vendorProduct) {
  std::string hint = "\nModemManager takes serial ports for modems. ";
  const std::size_t colon = vendorProduct.find(':');
  if (colon != std::string::npos) {
    hint += "To make it leave this adapter alone for good:\n  echo 'ATTRS{idVendor}==\"" +
            vendorProduct.substr(0, colon) + "\", ATTRS{idProduct}==\"" + vendorProduct.substr(colon + 1) +
            "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee /etc/udev/rules.d/99-brantelmoor-no-modem.rules\n"
            "  sudo udevadm control --reload-rules && sudo udevadm trigger\nor stop it for now: ";
  } else {
    hint += "Stop it: ";
  }
  return hint + "sudo systemctl stop ModemManager";
}

std::string HoldersText(const PortFacts& facts) {
  std::string text = facts.devicePath + " is in use by ";
  bool modemManager = false;
  for (std::size_t i = 0; i < facts.holders.size(); ++i) {
    const Holder& holder = facts.holders[i];
    if (i > 0) text += ", ";
    text += holder.name + " (pid " + std::to_string(holder.pid) + ")";
    modemManager = modemManager || holder.name == "ModemManager";
  }
  return modemManager ? text + ModemManagerHint(facts.vendorProduct) : text;
}

}  // namespace

std::vector<Holder> HoldersOf(const fs::path& procRoot, const std::string& devicePath, int self) {
  // The kernel shows the path the device was opened by after resolving
  // links, so a by-id link given here must be resolved the same way.
  std::error_code ec;
  const std::set<std::string> targets{devicePath, fs::weakly_canonical(devicePath, ec).string()};
  std::vector<Holder> holders;
  fs::directory_iterator processes(procRoot, ec);
  if (ec) return holders;
  for (const fs::directory_entry& process : processes) {
    const std::optional<int> pid = PidOf(process.path().filename().string());
    if (!pid || *pid == self || !HasDescriptorOn(process.path(), targets)) continue;
    holders.push_back({*pid, ProgramName(process.path())});
  }
  std::sort(holders.begin(), holders.end(), [](const Holder& a, const Holder& b) { return a.pid < b.pid; });
  return holders;
}

std::vector<Holder> HoldersOf(const std::string& devicePath) {
  return HoldersOf("/proc", devicePath, static_cast<int>(::getpid()));
}

std::string TroubleText(const PortFacts& facts) {
  if (!facts.exists) return facts.devicePath + " does not exist (unplugged?)";
  if (!facts.readWrite) return PermissionText(facts);
  if (!facts.holders.empty()) return HoldersText(facts);
  if (facts.busy) {
    return facts.devicePath + " is in use by another program that this user cannot see (sudo lsof " +
           facts.devicePath + " names it)";
  }
  return {};
}

std::string WhyPortNotOpened(std::string_view comName) {
  const std::optional<std::string> path = serial::DevicePathOf(comName);
  if (!path) return std::string(comName) + " does not exist (unplugged?)";
  return TroubleText(FactsOf(comName, *path));
}

}  // namespace vn::console
