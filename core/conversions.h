#pragma once

#include <cstdint>
#include <string_view>

#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Conversions between value kinds. The tag byte is compared whole, so a
// value whose DeferredFlag is still set converts like an unknown kind.
std::int32_t ToInteger(const TData& data);
RcString ToString(const TData& data);
double ToReal(const TData& data);
TMemStream* ToStream(const TData& data);
std::int32_t ToIndex(const TData& data);
bool ToBool(const TData& data);

// Optional sign, then decimal digits up to the first non-digit, wrapping
// modulo 2^32; no blank is skipped, and text that starts otherwise gives 0.
std::int32_t TextToInteger(std::string_view text);
// Lenient: digits, one decimal point, an exponent after e/E; every other
// character is skipped.
double TextToReal(std::string_view text);
// Plain decimal notation with up to 15 significant digits, never an exponent.
RcString RealToText(double value);
// Nearest integer, halves to even; NaN gives 0 and values beyond the 32-bit
// range saturate (a plain cast would be undefined there).
std::int32_t RoundReal(double value);

}  // namespace vn
