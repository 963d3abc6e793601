#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vn::serial {

// Ports keep their Windows names ("COM5") everywhere; on POSIX systems a map
// says which device each name stands for, the counterpart of the registry's
// device map.
struct PortMapEntry {
  std::string comName;
  std::string devicePath;
  // The packet tick of the adapter behind the device, where the map knows
  // it better than sysfs: a pseudo-terminal standing in for a USB adapter.
  std::optional<std::chrono::microseconds> adapterTick = std::nullopt;
};

// The machine's real serial devices, from /sys/class/tty, in COM-number
// order. The numbering is fixed by the device name, so a name keeps its
// meaning whatever else is plugged in:
//   /dev/ttyS<n>   -> COM<n+1>    (n = 0..31, only ports with a UART)
//   /dev/ttyUSB<n> -> COM<n+33>   (n = 0..63)
//   /dev/ttyACM<n> -> COM<n+97>   (n = 0..63)
std::vector<PortMapEntry> SystemPortMap();

// Replaces the map that names are resolved through, for instance to point a
// COM name at a pseudo-terminal; none restores the system's map. Drops the
// added entries too.
void SetPortMap(std::optional<std::vector<PortMapEntry>> map);

// Adds a name on top of whatever map is in use (a device path the user
// gave, a simulated device), replacing an added entry of the same name.
void AddPortMapEntry(PortMapEntry entry);

// The map file named by the environment variable VN_PORT_MAP, read anew on
// every look so that a test rig (or a person who wants fixed names) can
// make ports come and go: a line "COM5 /dev/pts/3" per port, optionally
// followed by the adapter's tick in microseconds; "#" starts a comment.
// None when the variable is unset or the file cannot be read.
std::optional<std::vector<PortMapEntry>> PortMapFromFile();
std::vector<PortMapEntry> ParsePortMap(std::string_view text);

// The map in use: the replacement, else the map file, else the system's as
// it is now; the added entries after it.
std::vector<PortMapEntry> CurrentPortMap();

// The map's entry for a COM name (letter case ignored), if it has one.
std::optional<PortMapEntry> PortMapEntryOf(std::string_view comName);

// The device behind a COM name, if the map has it.
std::optional<std::string> DevicePathOf(std::string_view comName);

}  // namespace vn::serial
