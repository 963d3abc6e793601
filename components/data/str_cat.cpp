#include "components/data/str_cat.h"

#include <string>

#include "core/dispatch.h"

namespace vn {

void TVNStrCat::doStrCat(TData& data, std::uint16_t /*index*/) {
  // Left before right: unconnected points consume the incoming chain in
  // this order.
  const RcString left = ReadString(data, Str1Point, Str1);
  const RcString right = ReadString(data, Str2Point, Str2);
  std::string joined;
  joined.reserve(left.size() + right.size());
  joined.append(left.view()).append(right.view());
  result_ = RcString(joined);
  DeferString(data, onStrCat, result_);
}

}  // namespace vn
