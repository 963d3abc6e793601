#pragma once

#include <cstdint>
#include <type_traits>

namespace vn {

struct TData;

// Receiving method of a link: an input point or a variable point of the
// target component. Every point has this one signature; the index tells a
// method that serves several like inputs which one was hit.
using TPointMethod = void (*)(void* target, TData& data, std::uint16_t index);

// One connection, used alike for event points and data points.
struct TPointLink {
  TPointMethod Method = nullptr;
  void* Target = nullptr;
  std::uint16_t Index = 0;

  bool Connected() const noexcept { return Method != nullptr; }
};

namespace detail {

template <class C, auto Method>
void InvokePoint(void* target, TData& data, std::uint16_t index) {
  (static_cast<C*>(target)->*Method)(data, index);
}

}  // namespace detail

// Builds a connection to `Method` of `target`, e.g.
//   hub->onEvent[0] = MakePoint<&TVNSwitch::doSwitch>(0, doneSwitch);
// The method is a template argument so that firing is one indirect call and
// the link stays a plain, copyable record.
template <auto Method, class C>
TPointLink MakePoint(std::uint16_t index, C* target) {
  static_assert(std::is_invocable_v<decltype(Method), C&, TData&, std::uint16_t>,
                "a point method takes (TData&, std::uint16_t)");
  return TPointLink{&detail::InvokePoint<C, Method>, target, index};
}

}  // namespace vn
