#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "components/win/hint_manager.h"
#include "core/cp1251_literals.h"
#include "toolkit/toolkit.h"

namespace vn {

// The information box that "/iv" shows instead of starting the program.
inline constexpr std::string_view InfoBoxText = "Сделано в Vornik.";
inline constexpr std::string_view InfoBoxCaption = "Vornik Info";

// Whether the first command-line argument asks for the information box:
// exactly "/iv", letter case included.
bool AsksForInfoBox(int argc, const char* const* argv);

// Process start-up up to the point where a scheme would be built: common
// controls and the hint manager first, whatever the command line holds.
void PrepareProcess();

// The whole life of the program around a main scheme: builds it (the
// dispatcher still inert), runs its form (dispatch goes live, the start-up
// steps run, the form is shown), runs the message loop until the form has
// closed, and destroys the scheme. `Scheme` offers its constructor, its
// form `Form` and its destructor, nothing else. `adjust` may change the
// built scheme before it runs (tests shorten its waits).
template <class Scheme>
int RunProgram(int argc, const char* const* argv, const std::function<void(Scheme&)>& adjust = {}) {
  PrepareProcess();
  if (AsksForInfoBox(argc, argv)) {
    toolkit::Application::ShowMessage(InfoBoxText, InfoBoxCaption, nullptr);
    return 0;
  }
  auto scheme = std::make_unique<Scheme>();
  if (adjust) adjust(*scheme);
  scheme->Form->Run();
  toolkit::Application::Run();
  scheme.reset();
  return 0;
}

}  // namespace vn
