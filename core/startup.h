#pragma once

namespace vn {

using TStartupMethod = void (*)(void* target);

namespace detail {
void RegisterStartupEntry(TStartupMethod method, void* target);
template <class C, auto Method>
void InvokeStartup(void* target) {
  (static_cast<C*>(target)->*Method)();
}
}  // namespace detail

// Start-up steps run once the application runs: components that need the
// live dispatcher at start (the main form) register a method here when they
// are created; steps registered while the list runs are run as well.
template <auto Method, class C>
void RegisterStartup(C* target) {
  detail::RegisterStartupEntry(&detail::InvokeStartup<C, Method>, target);
}

void RunStartup();

// Drops the steps registered for `target`. A component that registers calls
// this when it is destroyed, so a scheme torn down before start-up (a nested
// instance made per call, say) leaves no step behind that points at freed
// memory.
void UnregisterStartup(const void* target);

// Set once RunStartup has run; a container that builds a nested scheme later
// clears it meanwhile so the new components register instead.
bool Started();
void SetStarted(bool started);

}  // namespace vn
