#include "app/console/text_encoding_posix.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "core/cp1251_to_utf8.h"

namespace vn::console {
namespace {

bool SpeaksUtf8(const std::string& codeset) {
  return codeset.empty() || codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
         codeset == "ASCII";
}

}  // namespace

std::string Cp1251To(std::string_view text, const std::string& codeset) {
  if (SpeaksUtf8(codeset)) return Cp1251ToUtf8(text);
  const iconv_t converter = ::iconv_open((codeset + "//TRANSLIT").c_str(), "CP1251");
  if (converter == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) return Cp1251ToUtf8(text);
  std::string out;
  std::string in(text);
  char* from = in.data();
  std::size_t left = in.size();
  char buffer[256];
  while (left > 0) {
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t done = ::iconv(converter, &from, &left, &to, &room);
    out.append(buffer, sizeof buffer - room);
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A character the set has no form for: shown as '?', and on.
      out += '?';
      ++from;
      --left;
    }
  }
  ::iconv_close(converter);
  return out;
}

}  // namespace vn::console
