#pragma once

#include <string>
#include <string_view>

namespace vn::console {

// A program text (Windows-1251) in the character set `codeset` names (as
// nl_langinfo(CODESET) gives it). UTF-8 for UTF-8 and for the plain C
// locale's ASCII, where logs and pipes read UTF-8 in practice; other sets
// through iconv, with what a set cannot show transliterated or as '?'.
std::string Cp1251To(std::string_view text, const std::string& codeset);

}  // namespace vn::console
