#pragma once

#include <string>

#include "core/win32_api.h"

namespace vn::console {

// The system's own words for an error code, in the system's language and
// ANSI code page like the rest of the program's Windows texts, with the
// code after them.
std::string SystemMessage(DWORD code);

}  // namespace vn::console
