#include "components/flow/hub.h"

#include "core/dispatch.h"

namespace vn {

void TVNHub::SetOutCount(std::uint8_t count) {
  onEvent.resize(count);
  outCount_ = count;
}

void TVNHub::doEvent(TData& data, std::uint16_t /*index*/) {
  for (std::uint8_t i = 0; i < outCount_; ++i) FireEventCopy(onEvent[i], data);
}

std::unique_ptr<TVNHub> MakeHub(std::uint8_t inputs, std::uint8_t outputs) {
  auto hub = std::make_unique<TVNHub>();
  hub->InCount = inputs;
  hub->SetOutCount(outputs);
  return hub;
}

}  // namespace vn
