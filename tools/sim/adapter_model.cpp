#include "tools/sim/adapter_model.h"

#include <utility>

namespace vn::sim {

AdapterModel::AdapterModel(std::chrono::nanoseconds tick, std::chrono::nanoseconds phase, std::size_t buffer)
    : tick_(tick), phase_(phase), buffer_(buffer == 0 ? 1 : buffer) {}

LineTime AdapterModel::TickAtOrAfter(LineTime t) const {
  // The remainder of a negative count is negative: bring it into [0, tick).
  auto past = (t - phase_) % tick_;
  if (past < LineTime{0}) past += tick_;
  return past == LineTime{0} ? t : t + (tick_ - past);
}

void AdapterModel::Enter(LineTime entry, std::string_view bytes) {
  for (char c : bytes) {
    // A packet that is full, or whose time has passed, is on its way: the
    // byte starts the next one.
    if (packets_.empty() || packets_.back().bytes.size() >= buffer_ || entry > packets_.back().release) {
      packets_.push_back(Packet{TickAtOrAfter(entry), {}});
    }
    Packet& packet = packets_.back();
    packet.bytes += c;
    if (packet.bytes.size() >= buffer_) packet.release = entry;  // full: out at once
  }
}

AdapterModel::Packet AdapterModel::Take() {
  Packet packet = std::move(packets_.front());
  packets_.pop_front();
  return packet;
}

std::vector<LineTime> AdapterReleaseTimes(const std::vector<LineTime>& entries, std::chrono::nanoseconds tick,
                                          std::chrono::nanoseconds phase, std::size_t buffer) {
  AdapterModel adapter(tick, phase, buffer);
  for (LineTime entry : entries) adapter.Enter(entry, std::string_view("x", 1));
  std::vector<LineTime> releases;
  for (const AdapterModel::Packet& packet : adapter.Held()) {
    releases.insert(releases.end(), packet.bytes.size(), packet.release);
  }
  return releases;
}

}  // namespace vn::sim
