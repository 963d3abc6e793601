#include "components/serial/serial_port_map_posix.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <utility>

namespace vn::serial {
namespace {

struct DeviceFamily {
  const char* prefix;  // device name without its number
  int count;           // numbers 0..count-1 belong to the family
  int firstCom;        // COM number of device 0
  bool needsUart;      // ttyS entries exist for every possible UART slot
};

constexpr DeviceFamily kFamilies[] = {
    {"ttyS", 32, 1, true},
    {"ttyUSB", 64, 33, false},
    {"ttyACM", 64, 97, false},
};

struct MapState {
  std::mutex mutex;
  std::optional<std::vector<PortMapEntry>> replacement;
  std::vector<PortMapEntry> added;
};

MapState& State() {
  static MapState state;
  return state;
}

// The kernel lists a ttyS entry for each slot it reserved, with or without a
// chip behind it; an empty slot reports UART type 0 (PORT_UNKNOWN).
bool HasUart(const std::filesystem::path& ttyDir) {
  std::ifstream file(ttyDir / "type");
  std::string text;
  if (!std::getline(file, text)) return false;
  int type = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), type);
  return ec == std::errc() && type != 0;
}

// Ports that a driver actually bound: virtual consoles and ptys in the same
// class have no "device" link.
bool IsRealDevice(const std::filesystem::path& ttyDir) {
  std::error_code ec;
  return std::filesystem::exists(ttyDir / "device", ec);
}

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::vector<PortMapEntry> SystemPortMap() {
  const std::filesystem::path ttyClass = "/sys/class/tty";
  std::vector<PortMapEntry> map;
  for (const DeviceFamily& family : kFamilies) {
    for (int n = 0; n < family.count; ++n) {
      const std::string name = family.prefix + std::to_string(n);
      const std::filesystem::path dir = ttyClass / name;
      if (!IsRealDevice(dir)) continue;
      if (family.needsUart && !HasUart(dir)) continue;
      map.push_back({"COM" + std::to_string(family.firstCom + n), "/dev/" + name});
    }
  }
  return map;
}

void SetPortMap(std::optional<std::vector<PortMapEntry>> map) {
  MapState& state = State();
  std::lock_guard lock(state.mutex);
  state.replacement = std::move(map);
  state.added.clear();
}

void AddPortMapEntry(PortMapEntry entry) {
  MapState& state = State();
  std::lock_guard lock(state.mutex);
  std::erase_if(state.added, [&](const PortMapEntry& e) { return FoldedEqual(e.comName, entry.comName); });
  state.added.push_back(std::move(entry));
}

std::vector<PortMapEntry> ParsePortMap(std::string_view text) {
  std::vector<PortMapEntry> map;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    PortMapEntry entry;
    if (!(words >> entry.comName >> entry.devicePath)) continue;
    long long tickUs = 0;
    if (words >> tickUs && tickUs >= 0) entry.adapterTick = std::chrono::microseconds(tickUs);
    map.push_back(std::move(entry));
  }
  return map;
}

std::optional<std::vector<PortMapEntry>> PortMapFromFile() {
  const char* path = std::getenv("VN_PORT_MAP");
  if (path == nullptr || *path == '\0') return std::nullopt;
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::stringstream text;
  text << file.rdbuf();
  return ParsePortMap(text.str());
}

std::vector<PortMapEntry> CurrentPortMap() {
  std::optional<std::vector<PortMapEntry>> base;
  std::vector<PortMapEntry> added;
  {
    MapState& state = State();
    std::lock_guard lock(state.mutex);
    base = state.replacement;
    added = state.added;
  }
  // Files and sysfs are read outside the lock: they may be slow.
  if (!base) base = PortMapFromFile();
  if (!base) base = SystemPortMap();
  for (PortMapEntry& entry : added) {
    std::erase_if(*base, [&](const PortMapEntry& e) { return FoldedEqual(e.comName, entry.comName); });
    base->push_back(std::move(entry));
  }
  return std::move(*base);
}

std::optional<PortMapEntry> PortMapEntryOf(std::string_view comName) {
  for (PortMapEntry& entry : CurrentPortMap()) {
    if (FoldedEqual(entry.comName, comName)) return std::move(entry);
  }
  return std::nullopt;
}

std::optional<std::string> DevicePathOf(std::string_view comName) {
  std::optional<PortMapEntry> entry = PortMapEntryOf(comName);
  if (!entry) return std::nullopt;
  return std::move(entry->devicePath);
}

}  // namespace vn::serial
