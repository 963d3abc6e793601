#pragma once

#include <functional>
#include <string_view>

namespace vn {

// Diagnostic for faults in a scheme's wiring: a modal box captioned
// "String-Debug" on Windows, a line on standard error elsewhere.
void DebugMessage(std::string_view text);

inline constexpr std::string_view DebugMessageCaption = "String-Debug";

// Replaces where diagnostics go (tests capture them); an empty hook restores
// the platform's own. Returns the previous hook.
using DebugMessageHook = std::function<void(std::string_view text)>;
DebugMessageHook SetDebugMessageHook(DebugMessageHook hook);

// The platform's own presentation, one file per platform.
void ShowPlatformDebugMessage(std::string_view text);

}  // namespace vn
