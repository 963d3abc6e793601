#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// A two-state toggle: each doSwitch flips the state and emits the new state's
// value, first on onSwitch (at once) and then on onOn or onOff (deferred).
class TVNSwitch {
 public:
  std::uint8_t State = 0;  // 1 = On, anything else = Off
  TData DataOn;
  TData DataOff;
  TPointLink DataOffPoint;
  TPointLink DataOnPoint;
  TPointLink onOff;
  TPointLink onOn;
  TPointLink onSwitch;

  // 0 starts the switch On, any other value Off. Copies DataOn or DataOff as
  // they are now, so schemes set those first.
  void SetDefault(std::int32_t value);

  void doSwitch(TData& data, std::uint16_t index);
  void varValue(TData& data, std::uint16_t index);

  const TData& Value() const { return value_; }

 private:
  TData value_;
};

}  // namespace vn
