#include "components/flow/if_else.h"

#include "components/flow/compare_data.h"
#include "core/dispatch.h"

namespace vn {

void TVNIf_else::doCompare(TData& data, std::uint16_t /*index*/) {
  const TData arrived = data;
  // Op1 first: with both operands unconnected and unset, the first chained
  // incoming value is the first operand.
  TData first;
  ReadData(data, Op1Point, &Op1, first);
  TData second;
  ReadData(data, Op2Point, &Op2, second);
  DeferData(data, CompareData(first, second, Compare) ? onTrue : onFalse, arrived);
}

}  // namespace vn
