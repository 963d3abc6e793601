// Mask matching through the component, both letter-case modes.
#include <cstdint>

#include "components/data/str_mask.h"
#include "core/dispatch.h"
#include "fuzz/fuzz_input.h"

namespace {

struct Sink {
  int hits = 0;
  void doEvent(vn::TData&, std::uint16_t) { ++hits; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vn::fuzz::FuzzInput input(data, size);
  vn::StartDispatch();
  vn::TVNStrMask mask;
  Sink sink;
  mask.IgnoreCase = input.Byte() & 1;
  mask.Mask = vn::RcString(input.Text());
  mask.onTrue = vn::MakePoint<&Sink::doEvent>(0, &sink);
  mask.onFalse = vn::MakePoint<&Sink::doEvent>(1, &sink);
  vn::FireString(vn::MakePoint<&vn::TVNStrMask::doCompare>(0, &mask), vn::RcString(input.Rest()));
  if (sink.hits != 1) __builtin_trap();  // exactly one of the two outputs
  return 0;
}
