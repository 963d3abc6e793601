#include "app/program.h"

#include <cstring>

#include "components/win/hint_manager.h"

namespace vn {

bool AsksForInfoBox(int argc, const char* const* argv) {
  return argc > 1 && argv[1] != nullptr && std::strcmp(argv[1], "/iv") == 0;
}

void PrepareProcess() {
  toolkit::Application::InitCommonControls();
  if (TVNHintManager::Global() == nullptr) TVNHintManager::CreateGlobal();
}

}  // namespace vn
