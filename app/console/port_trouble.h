#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vn::console {

// Why the port a COM name stands for would not open, said so that the
// person at the terminal can act on it: missing (unplugged?), not
// permitted, or in use by another program (named where the system shows
// it). Empty when nothing the system shows explains it (the port may have
// refused its settings). It looks at the port afresh, so call it after the
// open failed and the port is closed again.
std::string WhyPortNotOpened(std::string_view comName);

// The parts below exist in Linux builds only.

// A process with a descriptor on the port. The flasher's own port lock
// (flock) holds through such a descriptor, so a second flasher is one too.
struct Holder {
  int pid = 0;
  std::string name;  // the program's name

  friend bool operator==(const Holder&, const Holder&) = default;
};

// The processes under `procRoot` (/proc) with a descriptor on `devicePath`,
// in pid order, leaving out `self`. Processes whose descriptors this user
// may not look at (another user's, unless we are root) are missed.
std::vector<Holder> HoldersOf(const std::filesystem::path& procRoot, const std::string& devicePath, int self);

// The same from /proc, leaving out this process.
std::vector<Holder> HoldersOf(const std::string& devicePath);

// What the system shows of a device that would not open.
struct PortFacts {
  std::string devicePath;
  bool exists = true;
  bool readWrite = true;       // this user may read and write it
  std::string group;           // the device's group, by name (a number if it has none)
  std::vector<Holder> holders;
  bool busy = false;           // an open or the port lock was refused though nobody visible holds it
  std::string vendorProduct;   // "0403:6001" of the USB adapter behind it, when known
};

// The text for the first of the facts that explains a failed open, in the
// order missing, permission, holders, busy; empty when none does.
std::string TroubleText(const PortFacts& facts);

}  // namespace vn::console
