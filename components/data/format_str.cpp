#include "components/data/format_str.h"

#include <string>
#include <string_view>

#include "core/dispatch.h"
#include "core/text_helpers.h"

namespace vn {
namespace {

// Stands for a literal per cent sign while placeholders are filled.
constexpr std::string_view kPercentMarker("\0", 1);
// Put before every inserted value so that a value starting with a digit
// cannot lengthen the number of a placeholder in front of it (%2%1 with
// %1 = 0 must not turn into %20).
constexpr std::string_view kValueMarker("\1", 1);

struct PlaceholderScan {
  std::size_t patternSize;
  std::size_t replacementSize;
  mutable std::size_t textSize;  // size of the text once the accepted matches are replaced
};

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// %1 must not match the start of %12; the text's end is not a digit.
bool AcceptPlaceholder(const void* context, std::string_view text, std::size_t pos) {
  const auto& scan = *static_cast<const PlaceholderScan*>(context);
  const std::size_t after = pos + scan.patternSize;
  if (after < text.size() && IsDecimalDigit(text[after])) return false;
  if (scan.replacementSize > scan.patternSize) {
    const std::size_t growth = scan.replacementSize - scan.patternSize;
    if (scan.textSize > kFormatStrLimit || growth > kFormatStrLimit - scan.textSize) return false;
  }
  scan.textSize = scan.textSize - scan.patternSize + scan.replacementSize;
  return true;
}

void FillPlaceholder(std::string& text, std::string_view pattern, std::string_view value) {
  std::string replacement;
  replacement.reserve(kValueMarker.size() + value.size());
  replacement.append(kValueMarker).append(value);
  const PlaceholderScan scan{pattern.size(), replacement.size(), text.size()};
  ReplaceAll(text, pattern, replacement, &AcceptPlaceholder, &scan);
}

}  // namespace

void TVNFormatStr::SetDataCount(std::uint8_t count) {
  Str.resize(count);
  dataCount_ = count;
}

void TVNFormatStr::doString(TData& data, std::uint16_t /*index*/) {
  std::string text(Mask.view());
  ReplaceAll(text, "%%", kPercentMarker);
  // Every point is read, placeholder or not: unconnected points consume the
  // incoming chain in placeholder order.
  for (std::size_t i = 1; i <= Str.size(); ++i) {
    const std::string pattern = "%" + std::to_string(i);
    pattern_ = RcString(pattern);
    const RcString value = ReadString(data, Str[i - 1], RcString());
    FillPlaceholder(text, pattern, value);
  }
  ReplaceAll(text, kValueMarker, "");
  ReplaceAll(text, kPercentMarker, "%");
  result_ = RcString(text);
  DeferString(data, onFString, result_);
}

}  // namespace vn
