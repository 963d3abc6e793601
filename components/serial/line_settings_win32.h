#pragma once

// The line settings record and the Windows device control block (DCB).

#include "components/serial/line_settings.h"
#include "core/win32_api.h"

namespace vn::serial {

// Writes the record into `dcb`; the DCB's fields that the record does not
// carry (its reserved words and the spare flag bits) keep their values.
void PutLineSettings(const LineSettings& settings, DCB& dcb);

LineSettings LineSettingsOf(const DCB& dcb);

}  // namespace vn::serial
