#pragma once

#include <string>
#include <string_view>

namespace vn {

// `text` with every ill-formed piece of UTF-8 (a stray byte, an overlong
// form, a surrogate, beyond U+10FFFF, a character cut off by the end)
// replaced by one U+FFFD, so that JSON readers and spreadsheets take it.
std::string WellFormedUtf8(std::string_view text);

// `text` as one JSON string, quotes included: made well-formed UTF-8, with
// quote, backslash and every control byte escaped, so that it never breaks
// the line it stands in.
std::string JsonString(std::string_view text);

}  // namespace vn
