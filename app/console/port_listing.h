#pragma once

#include <string>
#include <vector>

namespace vn::console {

// The COM names the system lists now. With `openable`, only those that can
// be opened this moment (each is opened and closed again): never while a
// port of ours may be opening, which the look would make fail.
std::vector<std::string> ListComNames(bool openable);

}  // namespace vn::console
