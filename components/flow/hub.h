#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Fans one event out to its outputs in order; each output gets its own copy
// of the incoming value and runs to completion before the next one starts.
class TVNHub {
 public:
  std::uint8_t InCount = 0;  // kept for the schemes; every input acts alike
  std::vector<TPointLink> onEvent;

  void SetOutCount(std::uint8_t count);
  std::uint8_t OutCount() const { return outCount_; }

  void doEvent(TData& data, std::uint16_t index);

 private:
  std::uint8_t outCount_ = 0;
};

// A hub with its point counts set, as the schemes create them.
std::unique_ptr<TVNHub> MakeHub(std::uint8_t inputs, std::uint8_t outputs);

}  // namespace vn
