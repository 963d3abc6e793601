// Ticks from the Windows multimedia timer.
#include "components/flow/tick_source.h"
#include "core/win32_api.h"

#include <mmsystem.h>

namespace vn {

struct TickSource::Impl {
  Handler handler;
  void* context;
  UINT id = 0;

  static void CALLBACK OnTimer(UINT /*id*/, UINT /*message*/, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    const auto* self = reinterpret_cast<const Impl*>(user);
    self->handler(self->context);
  }
};

TickSource::TickSource(Handler handler, void* context) : impl_(std::make_unique<Impl>()) {
  impl_->handler = handler;
  impl_->context = context;
}

TickSource::~TickSource() { Stop(); }

bool TickSource::Start(std::uint32_t intervalMs, std::uint32_t resolutionMs, bool periodic) {
  Stop();
  // TIME_KILL_SYNCHRONOUS: once timeKillEvent returns, no callback of this
  // timer runs any more (a callback stopping its own timer excepted).
  const UINT kind = (periodic ? TIME_PERIODIC : TIME_ONESHOT) | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS;
  impl_->id = timeSetEvent(intervalMs, resolutionMs, &Impl::OnTimer, reinterpret_cast<DWORD_PTR>(impl_.get()), kind);
  return impl_->id != 0;
}

void TickSource::Stop() {
  if (impl_->id == 0) return;
  timeKillEvent(impl_->id);
  impl_->id = 0;
}

}  // namespace vn
