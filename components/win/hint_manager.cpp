#include "components/win/hint_manager.h"

#include <atomic>

namespace vn {

namespace {

// System colours: the top byte 0xFF marks a system colour index.
constexpr toolkit::Color SystemColor(std::uint8_t index) {
  return static_cast<toolkit::Color>(0xFF000000u | index);
}
constexpr std::uint8_t kInfoText = 23;
constexpr std::uint8_t kInfoBackground = 24;

std::atomic<TVNHintManager*> gGlobal{nullptr};

}  // namespace

TVNHintManager::TVNHintManager()
    : BackColor(SystemColor(kInfoBackground)),
      Font(MakeFont("Tahoma", 8, 0, SystemColor(kInfoText), 1)) {}

TVNHintManager& TVNHintManager::CreateGlobal() {
  toolkit::Application::InitCommonControls();
  // Lives until the process ends: tooltips of components destroyed late
  // (after the message loop) still reach it.
  static TVNHintManager manager;
  gGlobal.store(&manager, std::memory_order_release);
  return manager;
}

TVNHintManager* TVNHintManager::Global() { return gGlobal.load(std::memory_order_acquire); }

std::unique_ptr<toolkit::Tooltip> TVNHintManager::CreateTool(toolkit::Window& control) {
  toolkit::Tooltip::Style style;
  style.font = ToToolkitFont(Font);
  style.background = BackColor;
  style.initialDelayMs = InitialDelay;
  style.autoPopDelayMs = AutoPopDelay;
  style.margin = Margin;
  return toolkit::Tooltip::Create(control, style);
}

void TVNHintManager::DestroyTool(std::unique_ptr<toolkit::Tooltip> tool) { tool.reset(); }

void TVNHintManager::SetToolText(toolkit::Tooltip& tool, std::string_view text) {
  tool.SetText(text);
}

}  // namespace vn
