#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Keeps a value (with its whole chain) and announces every read of it through
// onEvent before answering, so the announced work can refresh the value first.
class TVNEventFromData {
 public:
  TPointLink Data;
  TPointLink onEvent;

  void doData(TData& data, std::uint16_t index);
  // The answer shares this component's chain nodes: they stay valid until
  // the next doData.
  void varData(TData& data, std::uint16_t index);

  const TData& Stored() const { return stored_.Head(); }

 private:
  TOwnedChain stored_;
};

}  // namespace vn
