#include "components/data/convertor.h"

#include <string>

#include "components/data/hex_text.h"
#include "core/dispatch.h"
#include "core/rc_string.h"

namespace vn {

void TVNConvertor::doConvert(TData& data, std::uint16_t /*index*/) {
  if (Mode != ModeChar && Mode != ModeHex) return;
  const std::int32_t value = ReadInteger(data, Data, 0);
  const auto bits = static_cast<std::uint32_t>(value);
  const std::string text = Mode == ModeChar ? std::string(1, static_cast<char>(bits & 0xFFu))
                                            : NumberToHex(bits, Digits);
  DeferString(data, onResult, RcString(text));
}

}  // namespace vn
