#include "core/debug_message.h"

#include <mutex>
#include <utility>

namespace vn {
namespace {

std::mutex gHookMutex;
DebugMessageHook gHook;

}  // namespace

DebugMessageHook SetDebugMessageHook(DebugMessageHook hook) {
  std::lock_guard lock(gHookMutex);
  return std::exchange(gHook, std::move(hook));
}

void DebugMessage(std::string_view text) {
  DebugMessageHook hook;
  {
    std::lock_guard lock(gHookMutex);
    hook = gHook;
  }
  if (hook) {
    hook(text);
  } else {
    ShowPlatformDebugMessage(text);
  }
}

}  // namespace vn
