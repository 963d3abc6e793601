// Template filling with arbitrary templates and values.
#include <cstdint>
#include <string_view>
#include <vector>

#include "components/data/format_str.h"
#include "core/dispatch.h"
#include "fuzz/fuzz_input.h"

namespace {

struct Value {
  vn::RcString text;
  void varValue(vn::TData& data, std::uint16_t) { vn::dtString(data, text); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vn::fuzz::FuzzInput input(data, size);
  vn::StartDispatch();
  vn::TVNFormatStr format;
  const std::uint8_t count = input.Byte() % 13;
  format.SetDataCount(count);
  format.Mask = vn::RcString(input.Text());
  std::vector<Value> values(count);
  for (std::uint8_t i = 0; i < count; ++i) {
    values[i].text = vn::RcString(input.Text());
    // Leave every third point unconnected so the incoming chain is read too.
    if (i % 3 != 2) format.Str[i] = vn::MakePoint<&Value::varValue>(0, &values[i]);
  }
  vn::FireString(vn::MakePoint<&vn::TVNFormatStr::doString>(0, &format), vn::RcString(input.Rest()));
  if (format.Result().size() > vn::kFormatStrLimit) __builtin_trap();
  return 0;
}
