#include "components/flow/event_from_data.h"

#include "core/dispatch.h"

namespace vn {

void TVNEventFromData::doData(TData& data, std::uint16_t /*index*/) {
  TData value;
  ReadDataChain(data, Data, nullptr, value);
  stored_.Assign(value);
}

void TVNEventFromData::varData(TData& data, std::uint16_t /*index*/) {
  FireEvent(onEvent, data);
  // Copied only now, so that a value stored by the work just announced is
  // the one the reader gets.
  data = stored_.Head();
}

}  // namespace vn
