#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Values inserted by one placeholder are scanned again by the later ones, so
// a template and values such as "%2%2", "%3%3", ... double the text with
// every pass. The working text is never let past this size: a replacement
// that would take it further is not made and its placeholder stays as written.
inline constexpr std::size_t kFormatStrLimit = std::size_t{16} << 20;

// Fills the numbered placeholders %1 ... %N of a template; "%%" is a literal
// per cent sign.
class TVNFormatStr {
 public:
  RcString Mask;                // the template
  std::vector<TPointLink> Str;  // Str[0] answers %1, Str[1] %2, ...
  TPointLink onFString;

  // Sizes Str; new entries are unconnected.
  void SetDataCount(std::uint8_t count);
  std::uint8_t DataCount() const { return dataCount_; }

  void doString(TData& data, std::uint16_t index);

  // The last filled text and the last placeholder looked for, kept until the
  // next call.
  const RcString& Result() const { return result_; }
  const RcString& Pattern() const { return pattern_; }

 private:
  std::uint8_t dataCount_ = 0;
  RcString result_;
  RcString pattern_;
};

}  // namespace vn
