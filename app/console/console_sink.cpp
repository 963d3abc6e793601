#include "app/console/console_sink.h"

#include "components/data/multi_str_part.h"
#include "core/conversions.h"

namespace vn {

template <class Change>
void TVNConsoleSink::Report(Change change) {
  {
    std::lock_guard lock(mutex_);
    change(state_);
    ++state_.changes;
  }
  changed_.notify_all();
  if (OnChange) OnChange();
}

void TVNConsoleSink::doOpened(TData& data, std::uint16_t /*index*/) {
  const bool opened = ToInteger(data) != 0;
  Report([opened](State& s) {
    s.openTried = true;
    s.opened = opened;
  });
}

void TVNConsoleSink::doFound(TData& /*data*/, std::uint16_t /*index*/) {
  Report([](State& s) {
    // The probe judges each read as it arrives, in the chain that brought
    // it here: the last read is the reply it recognised, cut as it cuts it.
    std::string_view rest = s.lastRead;
    NextPart(rest, " ");  // the device name
    s.device = NextPart(rest, " ");
    s.version = NextPart(rest, " ");
    s.found = true;
  });
}

void TVNConsoleSink::doNotFound(TData& /*data*/, std::uint16_t /*index*/) {
  Report([](State& s) { s.notFound = true; });
}

void TVNConsoleSink::doProgress(TData& data, std::uint16_t /*index*/) {
  // The upload counts the blocks the device confirmed with a plain CRC; the
  // last block is confirmed by the final answer (success).
  const std::int32_t confirmed = ToInteger(data);
  Report([confirmed](State& s) { s.blocks = confirmed; });
}

void TVNConsoleSink::doSuccess(TData& /*data*/, std::uint16_t /*index*/) {
  Report([](State& s) {
    if (s.failed) return;
    s.succeeded = true;
    ++s.blocks;
  });
}

void TVNConsoleSink::doFailure(TData& /*data*/, std::uint16_t /*index*/) {
  Report([](State& s) {
    if (!s.succeeded) s.failed = true;
  });
}

void TVNConsoleSink::doReply(TData& data, std::uint16_t /*index*/) {
  std::string bytes(ToString(data).view());
  Report([&bytes](State& s) { s.lastReply = std::move(bytes); });
}

void TVNConsoleSink::doSent(TData& data, std::uint16_t /*index*/) {
  if (Trace) Trace(/*sent=*/true, ToString(data).view());
}

void TVNConsoleSink::doReceived(TData& data, std::uint16_t /*index*/) {
  const RcString bytes = ToString(data);
  if (Trace) Trace(/*sent=*/false, bytes.view());
  std::lock_guard lock(mutex_);
  state_.lastRead = bytes.view();
}

TVNConsoleSink::State TVNConsoleSink::Snapshot() const {
  std::lock_guard lock(mutex_);
  return state_;
}

TVNConsoleSink::State TVNConsoleSink::WaitFor(const std::function<bool(const State&)>& done,
                                              std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, limit, [&] { return done(state_); });
  return state_;
}

}  // namespace vn
