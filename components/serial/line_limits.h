#pragma once

#include "components/serial/line_settings.h"

namespace vn::serial {

// Whether a UART can really produce these settings. Windows' SetCommState
// refuses the others; a backend whose driver would take them anyway checks
// here, so that the port behaves alike on both systems.
bool LineCanTake(const LineSettings& settings);

}  // namespace vn::serial
