#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Routes an event to one output or to all of them. Enable, InIndex and
// OutIndex are pulled on every event, so the route can change at run time.
class TVNCommutator {
 public:
  std::vector<TPointLink> onEvent;
  TPointLink Enable;    // unconnected: enabled
  TPointLink InIndex;   // unconnected: every input passes
  TPointLink OutIndex;  // unconnected: every output fires

  // A count of 0 keeps the array, so links wired earlier survive a scheme
  // that clears the count and later sets it again.
  void SetOutCount(std::uint8_t count);
  std::uint8_t OutCount() const { return outCount_; }

  void doWork(TData& data, std::uint16_t index);

 private:
  std::size_t UsableOutputs() const;
  void Fire(std::size_t output, const TData& value);

  std::uint8_t outCount_ = 0;
};

}  // namespace vn
