#include "components/data/multi_str_part.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "core/dispatch.h"

namespace vn {

std::string_view NextPart(std::string_view& rest, std::string_view chars) {
  std::array<bool, 256> isDelimiter{};
  for (char c : chars) isDelimiter[static_cast<unsigned char>(c)] = true;

  // One scan for the earliest delimiter of any kind: searching each byte of
  // `chars` through the whole text in turn would make a long split quadratic.
  std::size_t length = rest.size();  // no delimiter: the part is all of `rest`
  for (std::size_t k = 0; k < rest.size(); ++k) {
    const auto byte = static_cast<unsigned char>(rest[k]);
    if (isDelimiter[byte]) {
      length = k;
      break;
    }
    if (byte == 0) break;
  }
  // A zero byte in `chars` also finds the text's own terminator, which lies
  // where the part would end anyway.

  const std::string_view part = rest.substr(0, length);
  // substr keeps an empty rest pointing into the text: a view without data
  // would reach memcpy with a null pointer when turned into a string.
  rest = rest.substr(std::min(length + chars.size(), rest.size()));
  return part;
}

void TVNMultiStrPart::SetCount(std::int32_t count) {
  Parts.assign(static_cast<std::size_t>(std::max(count, 0)), RcString());
}

void TVNMultiStrPart::doSplit(TData& data, std::uint16_t /*index*/) {
  std::fill(Parts.begin(), Parts.end(), RcString());
  const RcString s = ReadString(data, Str, RcString());
  const std::string_view chars = Char.view();
  if (chars.empty() || s.view().find(chars) == std::string_view::npos) {
    DeferString(data, onNotFound, s);
    return;
  }
  // Cutting an empty rest gives only empty parts, so the loops stop there
  // however large Skip or Count are.
  std::string_view rest = s.view();
  for (std::int32_t k = 0; k < Skip && !rest.empty(); ++k) NextPart(rest, chars);
  for (std::size_t k = 0; k < Parts.size() && !rest.empty(); ++k) {
    Parts[k] = RcString(NextPart(rest, chars));
  }
  DeferString(data, onSplit, RcString(rest));
}

void TVNMultiStrPart::Part(TData& data, std::uint16_t index) {
  dtString(data, index < Parts.size() ? Parts[index] : RcString());
}

}  // namespace vn
