#include "core/startup.h"

#include <cstddef>
#include <vector>

namespace vn {
namespace {

struct StartupEntry {
  TStartupMethod method;
  void* target;
};

std::vector<StartupEntry>& Entries() {
  static std::vector<StartupEntry> entries;
  return entries;
}

bool gStarted = false;

}  // namespace

void detail::RegisterStartupEntry(TStartupMethod method, void* target) {
  Entries().push_back({method, target});
}

void RunStartup() {
  auto& entries = Entries();
  // Re-read the size each time: a step may register further steps.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const StartupEntry entry = entries[i];
    entry.method(entry.target);
  }
  entries.clear();
  gStarted = true;
}

void UnregisterStartup(const void* target) {
  std::erase_if(Entries(), [target](const StartupEntry& e) { return e.target == target; });
}

bool Started() { return gStarted; }
void SetStarted(bool started) { gStarted = started; }

}  // namespace vn
