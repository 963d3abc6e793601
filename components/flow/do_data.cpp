#include "components/flow/do_data.h"

#include "core/dispatch.h"

namespace vn {

void TVNDoData::doData(TData& data, std::uint16_t /*index*/) {
  dtNull(data);
  TData value;
  ReadData(data, DataPoint, &Data, value);
  DeferData(data, onEventData, value);
}

}  // namespace vn
