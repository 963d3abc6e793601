#pragma once

#include <cstdint>
#include <vector>

#include "components/serial/com_properties.h"
#include "components/serial/line_settings.h"
#include "core/rc_string.h"

namespace vn::serial {

// The settings applied at open: the fetched record with everything the
// component controls overwritten. Out-of-range control indexes (DTR 3 or
// more, RTS 4 or more) count as 0; the end-of-file character is kept, and
// the error character unless parity errors are to be replaced.
LineSettings ComposeLineSettings(const TComProperties& properties, std::int32_t dtr, std::int32_t rts,
                                 std::int32_t baud, const LineSettings& fetched);

std::uint32_t EventMaskOf(const TComProperties& properties);
LineTimeouts TimeoutsOf(const TComProperties& properties);

// One text per error bit that is set, in a fixed order; parity errors are
// listed only when parity is checked.
std::vector<RcString> LineErrorTexts(std::uint32_t errors, bool checkParity);

}  // namespace vn::serial
