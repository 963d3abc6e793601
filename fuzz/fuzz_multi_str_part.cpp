// Splitting arbitrary text at arbitrary delimiter sets.
#include <cstdint>

#include "components/data/multi_str_part.h"
#include "core/dispatch.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vn::fuzz::FuzzInput input(data, size);
  vn::StartDispatch();
  vn::TVNMultiStrPart split;
  split.Skip = static_cast<std::int8_t>(input.Byte());
  split.SetCount(input.Byte() % 16);
  split.Char = vn::RcString(input.Text());
  vn::FireString(vn::MakePoint<&vn::TVNMultiStrPart::doSplit>(0, &split), vn::RcString(input.Rest()));
  std::size_t total = 0;
  for (std::uint16_t i = 0; i < 20; ++i) {
    vn::TData part;
    split.Part(part, i);
    total += part.SData.size();
  }
  if (total > input.Rest().size()) __builtin_trap();  // parts come from the text
  return 0;
}
