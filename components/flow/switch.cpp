#include "components/flow/switch.h"

#include "core/dispatch.h"

namespace vn {

void TVNSwitch::SetDefault(std::int32_t value) {
  const bool on = value == 0;
  State = on ? 1 : 0;
  value_ = on ? DataOn : DataOff;
}

void TVNSwitch::doSwitch(TData& data, std::uint16_t /*index*/) {
  // Toggling to exactly 0 or 1 keeps the switch two-state even if a scheme
  // stored some other number in State.
  const bool on = State != 1;
  State = on ? 1 : 0;
  const TPointLink& point = on ? DataOnPoint : DataOffPoint;
  const TData& fallback = on ? DataOn : DataOff;
  const TPointLink& output = on ? onOn : onOff;

  TData value;
  ReadData(data, point, &fallback, value);
  value_ = value;

  // onSwitch runs to completion now in the caller's variable; the state's own
  // event then goes back to the caller's dispatch loop.
  data = value_;
  FireEvent(onSwitch, data);
  DeferData(data, output, value_);
}

void TVNSwitch::varValue(TData& data, std::uint16_t /*index*/) { data = value_; }

}  // namespace vn
