#include "components/flow/compare_data.h"

#include "core/conversions.h"
#include "core/text_helpers.h"

namespace vn {
namespace {

template <class T>
bool CompareNumbers(T a, T b, std::uint8_t code) {
  switch (static_cast<CompareCode>(code)) {
    case CompareCode::Equal:
      return a == b;
    case CompareCode::Less:
      return a < b;
    case CompareCode::Greater:
      return a > b;
    case CompareCode::LessOrEqual:
      return a <= b;
    case CompareCode::GreaterOrEqual:
      return a >= b;
    case CompareCode::NotEqual:
      return a != b;
  }
  return false;
}

bool CompareStrings(const RcString& a, const RcString& b, std::uint8_t code) {
  const auto c = static_cast<CompareCode>(code);
  if (c == CompareCode::Equal) return a.view() == b.view();
  if (c == CompareCode::NotEqual) return a.view() != b.view();
  // Ordering ignores ASCII letter case, equality does not: texts that differ
  // only in case are then neither equal nor ordered.
  return CompareNumbers(CompareNoCase(a.view(), b.view()), 0, code);
}

}  // namespace

bool CompareData(const TData& a, const TData& b, std::uint8_t code) {
  switch (a.DataType) {
    case TagNull:
      return b.DataType == TagNull;
    case TagInteger:
      return CompareNumbers(a.IData, ToInteger(b), code);
    case TagString:
      return CompareStrings(a.SData, ToString(b), code);
    case TagReal:
      return CompareNumbers(a.RData, ToReal(b), code);
    default:
      return false;
  }
}

}  // namespace vn
