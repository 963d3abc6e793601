#include "components/flow/case.h"

#include "components/flow/compare_data.h"
#include "core/dispatch.h"

namespace vn {

void TVNCase::doCase(TData& data, std::uint16_t /*index*/) {
  const TData arrived = data;
  TData head;
  TakeData(data, head);
  if (CompareData(head, Value, static_cast<std::uint8_t>(CompareCode::Equal))) {
    FireEventCopy(onMatch, Result);
  } else {
    TData pass = arrived;
    FireEvent(onNextCase, pass);
  }
}

}  // namespace vn
