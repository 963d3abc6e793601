#pragma once

#include <memory>
#include <string_view>

#include "components/data/mem_stream.h"

namespace vn {

// A new stream holding the carried blob `name`, positioned at its start; the
// caller owns it. A name the program does not carry gives an empty stream.
std::unique_ptr<TMemStream> LoadStreamResource(std::string_view name);

}  // namespace vn
