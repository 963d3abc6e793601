#include "core/text_helpers.h"

namespace vn {
namespace {

unsigned char ByteAt(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

unsigned char FoldAsciiLower(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
  for (std::size_t i = 0;; ++i) {
    const unsigned char ca = ByteAt(a, i);
    const unsigned char cb = ByteAt(b, i);
    if (ca != cb) {
      const unsigned char fa = FoldAsciiLower(ca);
      const unsigned char fb = FoldAsciiLower(cb);
      if (fa != fb) return static_cast<int>(fa) - static_cast<int>(fb);
    }
    if (cb == 0) return 0;  // b's terminator reached and matched
  }
}

std::size_t PosFrom(std::string_view pattern, std::string_view text, std::size_t start) {
  if (pattern.empty() || start < 1 || start > text.size()) return 0;
  const std::size_t found = text.find(pattern, start - 1);
  return found == std::string_view::npos ? 0 : found + 1;
}

void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement,
                ReplaceFilter filter, const void* context) {
  if (pattern.empty()) return;
  std::size_t found = text.find(pattern);
  if (found == std::string::npos) return;

  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;  // text[0, copied) is already in result
  while (found != std::string::npos) {
    if (filter == nullptr || filter(context, text, found)) {
      result.append(text, copied, found - copied);
      result.append(replacement);
      copied = found + pattern.size();
      found = text.find(pattern, copied);
    } else {
      found = text.find(pattern, found + 1);
    }
  }
  result.append(text, copied, std::string::npos);
  text.swap(result);
}

}  // namespace vn
