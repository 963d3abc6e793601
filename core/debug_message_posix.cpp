#include <cstdio>
#include <string_view>

#include "core/debug_message.h"

namespace vn {

void ShowPlatformDebugMessage(std::string_view text) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(DebugMessageCaption.size()),
               DebugMessageCaption.data(), static_cast<int>(text.size()), text.data());
}

}  // namespace vn
