#include "app/program.h"

#include <cstring>
#include <string>

#include "components/win/hint_manager.h"
#include "core/debug_message.h"
#include "core/startup.h"

namespace vn {

bool AsksForInfoBox(int argc, const char* const* argv) {
  return argc > 1 && argv[1] != nullptr && std::strcmp(argv[1], "/iv") == 0;
}

void PrepareProcess() {
  // A run starts with nothing started: start-up steps of the scheme about to
  // be built wait for its form's run step (a process may run the program
  // more than once, as the tests do).
  SetStarted(false);
  toolkit::Application::InitCommonControls();
  if (TVNHintManager::Global() == nullptr) TVNHintManager::CreateGlobal();
  // Diagnostics appear as a box owned by the program's window, shown by the
  // window thread whichever thread reports them.
  SetDebugMessageHook([](std::string_view text) {
    const std::string copy(text);
    toolkit::RunOnWindowThread([&copy] {
      toolkit::Window* owner = toolkit::Application::HasMainWindow() ? &toolkit::Application::MainWindow() : nullptr;
      toolkit::Application::ShowMessage(copy, DebugMessageCaption, owner);
    });
  });
}

}  // namespace vn
