#include "components/data/str_mask.h"

#include <cstddef>
#include <string>

#include "core/cp1251_lower.h"
#include "core/conversions.h"
#include "core/dispatch.h"

namespace vn {
namespace {

// Byte k of `text` followed by its added zero byte (k == size).
unsigned char ByteAt(std::string_view text, std::size_t k) {
  return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
}

bool TokenMatches(unsigned char token, unsigned char byte) {
  switch (token) {
    case '#': return byte >= '0' && byte <= '9';
    case '?': return byte != 0;
    default: return token == byte;
  }
}

}  // namespace

// Every token but "*" takes exactly one byte, so remembering only the latest
// "*" is enough: letting an earlier "*" take more bytes can never succeed
// where the latest one cannot. That keeps the match within
// O(text * mask) steps and constant stack, whatever the number of "*".
bool MaskMatches(std::string_view text, std::string_view mask) {
  const std::size_t textEnd = text.size() + 1;  // the added zero byte included
  const std::size_t maskEnd = mask.size() + 1;
  std::size_t i = 0;
  std::size_t j = 0;
  bool haveStar = false;
  std::size_t afterStar = 0;  // mask position after the latest "*"
  std::size_t starTaken = 0;  // text position where that "*" stops taking
  while (i < textEnd) {
    if (j < maskEnd && ByteAt(mask, j) == '*') {
      haveStar = true;
      afterStar = ++j;
      starTaken = i;
    } else if (j < maskEnd && TokenMatches(ByteAt(mask, j), ByteAt(text, i))) {
      ++i;
      ++j;
    } else if (haveStar) {
      j = afterStar;
      i = ++starTaken;
    } else {
      return false;
    }
  }
  while (j < maskEnd && ByteAt(mask, j) == '*') ++j;
  return j == maskEnd;
}

void TVNStrMask::doCompare(TData& data, std::uint16_t /*index*/) {
  const RcString s = ReadString(data, Str, RcString());
  bool matched = false;
  if (IgnoreCase == 1) {
    std::string text = s.str();
    std::string mask = Mask.str();
    LowerCp1251(text);
    LowerCp1251(mask);
    matched = MaskMatches(text, mask);
  } else {
    matched = MaskMatches(s.view(), Mask.view());
  }
  DeferString(data, matched ? onTrue : onFalse, s);
}

void TVNStrMask::doMask(TData& data, std::uint16_t /*index*/) { Mask = ToString(data); }

}  // namespace vn
