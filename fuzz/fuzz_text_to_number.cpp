// Text to integer, real, index and hexadecimal number on arbitrary bytes.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "components/data/hex_text.h"
#include "core/conversions.h"
#include "core/rc_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::int32_t integer = vn::TextToInteger(text);
  const double real = vn::TextToReal(text);
  (void)vn::HexTextToNumber(text);
  (void)vn::ToIndex(vn::StringData(vn::RcString(text)));
  (void)vn::NumberToHex(static_cast<std::uint32_t>(integer), integer);

  // Real to text and back must stay total whatever the value.
  const vn::RcString shown = vn::RealToText(real);
  (void)vn::RoundReal(real);
  if (std::isfinite(real) && vn::TextToReal(shown.view()) != vn::TextToReal(shown.view())) __builtin_trap();
  return 0;
}
